#include <weeapp/ui/accessibility/accessibility_reader.h>
#include <weeapp/ui/inspection/view_dump.h>
#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/image_view.h>
#include <weeapp/ui/views/label.h>
#include <weeapp/ui/views/page_control.h>
#include <weeapp/ui/views/scroll_view.h>
#include <weeapp/ui/views/window.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace weeapp::ui;

std::shared_ptr<Label> textLabel(const std::string& text, Rect frame = { 0, 0, 50, 20 })
{
    auto label = Label::create(frame);
    label->setText(text);
    return label;
}

std::vector<std::string> labelsOf(const std::vector<View*>& elements)
{
    std::vector<std::string> labels;
    for (const View* element : elements)
        labels.push_back(element->accessibilityLabel().value_or("-"));
    return labels;
}

// Each class takes the phone's defaults; a set text or a provider replaces them, and a provider
// is asked every time.
TEST(Accessibility, ClassDefaultsAndWhatReplacesThem)
{
    auto view = View::create();
    EXPECT_FALSE(view->isAccessibilityElement());
    EXPECT_EQ(view->accessibilityLabel(), std::nullopt);
    EXPECT_EQ(view->accessibilityTraits(), AccessibilityTraitNone);
    EXPECT_FALSE(view->hasAccessibilityAttributes());

    auto label = textLabel("Ada");
    EXPECT_TRUE(label->isAccessibilityElement());
    EXPECT_EQ(label->accessibilityLabel(), "Ada");
    EXPECT_EQ(label->accessibilityTraits(), AccessibilityTraitStaticText);
    EXPECT_EQ(textLabel("")->accessibilityLabel(), std::nullopt);

    auto button = Button::buttonWithType(0);
    EXPECT_TRUE(button->isAccessibilityElement());
    EXPECT_EQ(button->accessibilityTraits(), AccessibilityTraitButton);
    EXPECT_EQ(button->accessibilityLabel(), std::nullopt);
    button->setTitle("Call", ControlStateNormal);
    EXPECT_EQ(button->accessibilityLabel(), "Call");
    EXPECT_EQ(button->titleForState(1), "Call");

    auto pages = PageControl::create();
    EXPECT_FALSE(pages->isAccessibilityElement());
    EXPECT_EQ(pages->accessibilityTraits(), AccessibilityTraitAdjustable);
    EXPECT_EQ(pages->accessibilityValue(), std::nullopt);
    pages->setNumberOfPages(3);
    pages->setCurrentPage(1);
    EXPECT_TRUE(pages->isAccessibilityElement());
    EXPECT_EQ(pages->accessibilityValue(), "page 2 of 3");

    auto image = ImageView::create(nullptr);
    EXPECT_FALSE(image->isAccessibilityElement());
    EXPECT_EQ(image->accessibilityTraits(), AccessibilityTraitImage);

    label->setAccessibilityLabel("Ada Quell");
    label->setAccessibilityTraits(AccessibilityTraitButton | AccessibilityTraitImage);
    label->setIsAccessibilityElement(false);
    EXPECT_EQ(label->accessibilityLabel(), "Ada Quell");
    EXPECT_EQ(accessibilityTraitNames(label->accessibilityTraits()), (std::vector<std::string> { "button", "image" }));
    EXPECT_FALSE(label->isAccessibilityElement());
    label->setAccessibilityLabel(std::nullopt);
    EXPECT_EQ(label->accessibilityLabel(), "Ada");

    int asked = 0;
    button->setAccessibilityHintProvider([&asked]() -> std::optional<std::string> { return "hint " + std::to_string(++asked); });
    EXPECT_EQ(button->accessibilityHint(), "hint 1");
    EXPECT_EQ(button->accessibilityHint(), "hint 2");
    // A provider that says nothing silences the default.
    pages->setAccessibilityValueProvider([]() -> std::optional<std::string> { return std::nullopt; });
    EXPECT_EQ(pages->accessibilityValue(), std::nullopt);
    EXPECT_EQ(accessibilityTraitNames(AccessibilityTraitStaticText | AccessibilityTraitAdjustable),
        (std::vector<std::string> { "staticText", "adjustable" }));
}

// Hidden and faded views, what lies inside them, what a view hides and what an element holds are
// not reached; a view at alpha 0.05 still is.
TEST(Accessibility, HiddenFadedAndEnclosedElementsAreSkipped)
{
    auto root = View::create({ 0, 0, 320, 100 });
    auto visible = textLabel("visible");
    auto hidden = textLabel("hidden");
    hidden->setHidden(true);
    auto faded = textLabel("faded");
    faded->setAlpha(0.009f);
    auto dim = textLabel("dim");
    dim->setAlpha(0.05f);
    auto fadedParent = View::create({ 0, 0, 100, 100 });
    fadedParent->setAlpha(0.0f);
    auto inFaded = textLabel("in faded");
    fadedParent->addSubview(inFaded);
    auto hiding = View::create({ 0, 0, 100, 100 });
    hiding->setAccessibilityElementsHidden(true);
    auto inHiding = textLabel("in hiding");
    hiding->addSubview(inHiding);
    auto button = Button::buttonWithType(0);
    button->setAccessibilityLabel("button");
    auto badge = textLabel("badge");
    button->addSubview(badge);
    auto silent = textLabel("silent");
    silent->setIsAccessibilityElement(false);
    for (const auto& child : std::vector<ViewPtr> { visible, hidden, faded, dim, fadedParent, hiding, button, silent })
        root->addSubview(child);

    EXPECT_EQ(labelsOf(accessibilityElementsInReadingOrder(*root)), (std::vector<std::string> { "visible", "dim", "button" }));
    EXPECT_TRUE(isReachableAccessibilityElement(*visible));
    EXPECT_TRUE(isReachableAccessibilityElement(*dim));
    for (const View* view : std::vector<View*> { hidden.get(), faded.get(), inFaded.get(), inHiding.get(), badge.get(), silent.get() })
        EXPECT_FALSE(isReachableAccessibilityElement(*view)) << *view->accessibilityLabel();
    hiding->setAccessibilityElementsHidden(false);
    EXPECT_TRUE(isReachableAccessibilityElement(*inHiding));
}

// Children read top to bottom and left to right; a paging scroll view reads the page in view
// first, then the pages after it, then those before it, and whatever follows it comes after.
TEST(Accessibility, ReadingOrderFollowsRowsAndPages)
{
    auto window = Window::create({ 0, 0, 320, 480 });
    auto container = View::create({ 2, 0, 316, 110 });
    auto scroll = ScrollView::create({ 0, 0, 100, 80 });
    scroll->setPagingEnabled(true);
    scroll->setContentSize({ 300, 80 });
    auto pages = PageControl::create({ 0, 80, 100, 20 });
    pages->setNumberOfPages(3);
    container->addSubview(pages); // added first, read after the scroll view above it
    container->addSubview(scroll);
    window->addSubview(container);
    // Added out of order: the reader sorts them.
    for (const auto& [text, frame] : std::vector<std::pair<std::string, Rect>> {
             { "p2", { 210, 0, 40, 40 } }, { "p0 row1", { 0, 40, 40, 40 } }, { "p1", { 110, 0, 40, 40 } },
             { "p0 right", { 50, 0, 40, 40 } }, { "p0 left", { 0, 0, 40, 40 } } })
        scroll->addSubview(textLabel(text, frame));

    using Labels = std::vector<std::string>;
    EXPECT_EQ(labelsOf(accessibilityElementsInReadingOrder(*container)), (Labels { "p0 left", "p0 right", "p0 row1", "p1", "p2", "-" }));
    scroll->setContentOffset({ 100, 0 });
    EXPECT_EQ(labelsOf(accessibilityElementsInReadingOrder(*container)), (Labels { "p1", "p2", "p0 left", "p0 right", "p0 row1", "-" }));
    scroll->setContentOffset({ 200, 0 });
    EXPECT_EQ(labelsOf(accessibilityElementsInReadingOrder(*container)), (Labels { "p2", "p0 left", "p0 right", "p0 row1", "p1", "-" }));
    // Without paging the rows decide alone.
    scroll->setPagingEnabled(false);
    EXPECT_EQ(labelsOf(accessibilityElementsInReadingOrder(*container)), (Labels { "p0 left", "p0 right", "p1", "p2", "p0 row1", "-" }));
}

// The element under a point: by its accessibility frame in window coordinates, the topmost
// first, nothing where the scroll view cuts its content off or over empty space.
TEST(Accessibility, ElementAtPoint)
{
    auto window = Window::create({ 0, 0, 320, 480 });
    auto container = View::create({ 2, 10, 316, 110 });
    auto scroll = ScrollView::create({ 0, 0, 100, 80 });
    scroll->setContentSize({ 200, 80 });
    container->addSubview(scroll);
    window->addSubview(container);
    auto button = Button::buttonWithType(0);
    button->setFrame({ 10, 10, 40, 40 });
    button->setAccessibilityLabel("tile");
    // The tile covers its name under it as well.
    button->setAccessibilityFrameInContainerSpace(Rect { 10, 10, 40, 60 });
    auto badge = textLabel("badge", { 0, 30, 40, 10 });
    button->addSubview(badge);
    auto name = textLabel("name", { 10, 50, 40, 20 });
    name->setIsAccessibilityElement(false);
    auto nextPage = textLabel("next page", { 110, 10, 40, 40 });
    auto over = textLabel("over", { 30, 10, 20, 20 });
    scroll->addSubview(button);
    scroll->addSubview(name);
    scroll->addSubview(nextPage);
    scroll->addSubview(over);

    EXPECT_EQ(button->accessibilityFrame(), Rect(12, 20, 40, 60));
    auto at = [&](float x, float y) { return accessibilityElementAtPoint(*window, { x, y }); };
    EXPECT_EQ(at(14, 55), button.get()); // the badge inside it
    EXPECT_EQ(at(14, 75), button.get()); // the name under it
    EXPECT_EQ(at(40, 25), over.get());   // the later sibling on top
    EXPECT_EQ(at(70, 30), nullptr);      // empty space
    EXPECT_EQ(at(122, 30), nullptr);     // beyond the scroll view's edge
    scroll->setContentOffset({ 100, 0 });
    EXPECT_EQ(nextPage->accessibilityFrame(), Rect(12, 20, 40, 40));
    EXPECT_EQ(at(14, 25), nextPage.get());
    EXPECT_EQ(at(14, 75), nullptr); // the tile has scrolled out of view
}

class PageCounter : public ScrollViewDelegate {
public:
    void scrollViewDidScroll(ScrollView* scroll) override { events.push_back("scroll " + std::to_string(static_cast<int>(scroll->contentOffset().x))); }
    void scrollViewDidEndDecelerating(ScrollView*) override { events.push_back("end"); }
    std::vector<std::string> events;
};

// The page gesture moves one page at a time, as paging does, with both delegate calls, and at
// either end it moves nothing and tells nobody.
TEST(Accessibility, PageGestureScrollsOnePage)
{
    auto scroll = ScrollView::create({ 0, 0, 316, 110 });
    scroll->setPagingEnabled(true);
    scroll->setContentSize({ 948, 110 });
    PageCounter delegate;
    scroll->setDelegate(&delegate);

    EXPECT_FALSE(scroll->accessibilityScroll(AccessibilityScrollDirection::Previous));
    EXPECT_TRUE(delegate.events.empty());
    EXPECT_TRUE(scroll->accessibilityScroll(AccessibilityScrollDirection::Next));
    EXPECT_TRUE(scroll->accessibilityScroll(AccessibilityScrollDirection::Next));
    EXPECT_FALSE(scroll->accessibilityScroll(AccessibilityScrollDirection::Next));
    EXPECT_EQ(delegate.events, (std::vector<std::string> { "scroll 316", "end", "scroll 632", "end" }));
    // From between two pages the gesture starts at the nearer one.
    scroll->setContentOffset({ 400, 0 });
    delegate.events.clear();
    EXPECT_TRUE(scroll->accessibilityScroll(AccessibilityScrollDirection::Previous));
    EXPECT_EQ(delegate.events, (std::vector<std::string> { "scroll 0", "end" }));

    // Two pages are enough to page; from an offset that is no number, the gesture starts at
    // the first page.
    scroll->setContentSize({ 632, 110 });
    scroll->setDelegate(nullptr);
    scroll->setContentOffset({ NAN, 0 });
    scroll->setDelegate(&delegate);
    delegate.events.clear();
    EXPECT_TRUE(scroll->accessibilityScroll(AccessibilityScrollDirection::Next));
    EXPECT_EQ(delegate.events, (std::vector<std::string> { "scroll 316", "end" }));

    // One page, an endless one, no width or an absurd content size: nowhere to go.
    scroll->setContentSize({ INFINITY, 110 });
    EXPECT_FALSE(scroll->accessibilityScroll(AccessibilityScrollDirection::Next));
    scroll->setContentSize({ 316, 110 });
    EXPECT_FALSE(scroll->accessibilityScroll(AccessibilityScrollDirection::Next));
    scroll->setContentSize({ 1e38f, 110 });
    EXPECT_TRUE(scroll->accessibilityScroll(AccessibilityScrollDirection::Next));
    scroll->setFrame({ 0, 0, 0, 110 });
    EXPECT_FALSE(scroll->accessibilityScroll(AccessibilityScrollDirection::Next));
    // A scroll view one point wide still pages; one of negative width never does.
    scroll->setFrame({ 0, 0, 1, 110 });
    scroll->setContentSize({ 3, 110 });
    scroll->setContentOffset({ 0, 0 });
    EXPECT_TRUE(scroll->accessibilityScroll(AccessibilityScrollDirection::Next));
    scroll->setFrame({ 0, 0, -316, 110 });
    scroll->setContentSize({ -948, 110 });
    scroll->setContentOffset({ 0, 0 });
    EXPECT_FALSE(scroll->accessibilityScroll(AccessibilityScrollDirection::Next));
}

// The dump shows the accessibility of elements and of views with settings of their own only;
// a description prints its texts or null and its traits by name.
TEST(Accessibility, DumpAndDescription)
{
    auto plain = View::create({ 0, 0, 10, 10 });
    EXPECT_EQ(dumpViewTree(*plain).find("accessibility"), std::string::npos);
    auto label = textLabel("Ada");
    label->setAccessibilityHint("Calls");
    EXPECT_NE(dumpViewTree(*label).find(R"("borderWidth": 0, "accessibility": {"element": true, "label": "Ada", "hint": "Calls", )"
                                        R"("traits": ["staticText"], "value": null, "elementsHidden": false}, "text": "Ada")"),
        std::string::npos)
        << dumpViewTree(*label);
    plain->setAccessibilityElementsHidden(true);
    EXPECT_NE(dumpViewTree(*plain).find(R"("accessibility": {"element": false, "label": null, "hint": null, "traits": [], "value": null, "elementsHidden": true})"),
        std::string::npos);

    EXPECT_EQ(dumpAccessibilityDescription(describeAccessibilityElement(*label)),
        R"({"label": "Ada", "hint": "Calls", "traits": ["staticText"], "value": null})");
}

}

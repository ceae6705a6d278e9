#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/image_view.h>
#include <weeapp/ui/views/label.h>
#include <weeapp/ui/views/scroll_view.h>
#include <weeapp/ui/views/view.h>
#include <weeapp/ui/views/window.h>

#include <gtest/gtest.h>

namespace {

using namespace weeapp::ui;

// Adding, moving and removing keep each child in exactly one parent, and a destroyed parent
// leaves no dangling superview pointer behind.
TEST(View, OwnershipFollowsAddAndRemove)
{
    auto first = View::create();
    auto second = View::create();
    auto child = View::create();
    auto other = View::create();
    first->addSubview(child);
    first->addSubview(other);
    EXPECT_EQ(child->superview(), first.get());

    second->addSubview(child); // moves
    EXPECT_EQ(first->subviews().size(), 1u);
    EXPECT_EQ(second->subviews().front(), child);
    EXPECT_EQ(child->superview(), second.get());

    first->addSubview(other); // already there: brought to the top, not doubled
    EXPECT_EQ(first->subviews().size(), 1u);

    child->addSubview(second); // an ancestor cannot become a child
    EXPECT_TRUE(child->subviews().empty());

    second->removeFromSuperview();
    child->removeFromSuperview();
    EXPECT_EQ(child->superview(), nullptr);
    EXPECT_TRUE(second->subviews().empty());

    // Removing a view whose parent holds the last reference.
    auto parent = View::create();
    parent->addSubview(View::create());
    std::weak_ptr<View> orphan = parent->subviews().front();
    orphan.lock()->removeFromSuperview();
    EXPECT_TRUE(orphan.expired());

    // The parent dies first; the kept child no longer points at it.
    auto kept = View::create();
    {
        auto shortLived = View::create();
        shortLived->addSubview(kept);
    }
    EXPECT_EQ(kept->superview(), nullptr);
}

// The deepest visible, interaction-enabled view wins, the last added first; hidden, transparent
// and disabled views are passed over together with their subtrees.
TEST(View, HitTestFindsDeepestVisibleView)
{
    auto window = Window::create({ 0, 0, 320, 200 });
    auto container = View::create({ 10, 10, 200, 100 });
    auto bottom = View::create({ 0, 0, 100, 100 });
    auto top = View::create({ 50, 0, 100, 100 });
    auto inner = View::create({ 10, 10, 20, 20 });
    window->addSubview(container);
    container->addSubview(bottom);
    container->addSubview(top);
    top->addSubview(inner);

    EXPECT_EQ(window->hitTest({ 20, 20 }, nullptr), bottom.get());
    EXPECT_EQ(window->hitTest({ 70, 50 }, nullptr), top.get()); // overlap: the later child
    EXPECT_EQ(window->hitTest({ 70 + 15, 20 + 15 }, nullptr), inner.get());
    EXPECT_EQ(window->hitTest({ 250, 20 }, nullptr), window.get());
    EXPECT_EQ(window->hitTest({ 400, 20 }, nullptr), nullptr);
    EXPECT_EQ(window->hitTest({ 210, 20 }, nullptr), window.get()); // right edge is outside

    top->setHidden(true);
    EXPECT_EQ(window->hitTest({ 85, 35 }, nullptr), bottom.get());
    top->setHidden(false);
    top->setAlpha(0.005f);
    EXPECT_EQ(window->hitTest({ 85, 35 }, nullptr), bottom.get());
    top->setAlpha(0.05f); // faded but still there
    EXPECT_EQ(window->hitTest({ 85, 35 }, nullptr), inner.get());
    container->setUserInteractionEnabled(false);
    EXPECT_EQ(window->hitTest({ 85, 35 }, nullptr), window.get());
    container->setUserInteractionEnabled(true);

    // A child sticking out of its parent is not reached outside the parent.
    auto overhang = View::create({ 180, 80, 100, 100 });
    container->addSubview(overhang);
    EXPECT_EQ(window->hitTest({ 195, 95 }, nullptr), overhang.get());
    EXPECT_EQ(window->hitTest({ 195, 150 }, nullptr), window.get());
}

// Labels and image views let touches through, so a badge on a button still hits the button.
TEST(View, LabelsAndImageViewsAreTransparentToTouches)
{
    auto window = Window::create({ 0, 0, 320, 200 });
    auto button = Button::buttonWithType(0);
    button->setFrame({ 12, 12, 64, 64 });
    auto badge = Label::create({ 0, 54, 64, 10 });
    button->addSubview(badge);
    window->addSubview(button);
    auto cover = ImageView::create(nullptr);
    cover->setFrame({ 0, 0, 320, 200 });
    window->addSubview(cover);
    EXPECT_EQ(window->hitTest({ 40, 70 }, nullptr), button.get());
}

// A scroll view's content offset moves its children; conversion goes through the window chain
// both ways, and views outside a window have none.
TEST(View, ConvertPointThroughScrolledContent)
{
    auto window = Window::create({ 0, 0, 320, 480 });
    auto container = View::create({ 2, 2, 316, 110 });
    auto scroll = ScrollView::create({ 0, 0, 316, 110 });
    scroll->setContentSize({ 632, 110 });
    auto tile = View::create({ 328, 12, 64, 64 });
    window->addSubview(container);
    container->addSubview(scroll);
    scroll->addSubview(tile);

    EXPECT_EQ(tile->window(), window.get());
    EXPECT_EQ(window->window(), window.get());
    EXPECT_EQ(View::create()->window(), nullptr);

    EXPECT_EQ(window->convertPointFromView({ 5, 5 }, tile.get()), (Point { 335, 19 }));
    scroll->setContentOffset({ 316, 0 });
    EXPECT_EQ(window->convertPointFromView({ 5, 5 }, tile.get()), (Point { 19, 19 }));
    EXPECT_EQ(tile->convertPointFromView({ 19, 19 }, nullptr), (Point { 5, 5 }));
    EXPECT_EQ(tile->convertPointToView({ 5, 5 }, container.get()), (Point { 17, 17 }));
    EXPECT_EQ(window->hitTest(window->convertPointFromView({ 30, 20 }, container.get()), nullptr), tile.get());
}

// viewWithTag searches the subtree depth first, this view included.
TEST(View, ViewWithTag)
{
    auto root = View::create();
    auto a = View::create();
    auto b = View::create();
    b->setTag(9999);
    a->addSubview(b);
    root->addSubview(a);
    EXPECT_EQ(root->viewWithTag(9999), b.get());
    EXPECT_EQ(root->viewWithTag(0), root.get());
    EXPECT_EQ(root->viewWithTag(7), nullptr);
}

}

// Setting a frame a view already has changes nothing: the geometry revision
// that the host's caches follow moves only for a real change.
TEST(View, UnchangedGeometryIsNoChange)
{
    auto parent = View::create(Rect(0, 0, 100, 100));
    auto child = View::create(Rect(10, 10, 20, 20));
    parent->addSubview(child);
    const std::uint64_t before = weeapp::ui::View::geometryRevision();
    child->setFrame(weeapp::ui::Rect(10, 10, 20, 20));
    parent->setFrame(parent->frame());
    EXPECT_EQ(weeapp::ui::View::geometryRevision(), before);
    child->setFrame(weeapp::ui::Rect(11, 10, 20, 20));
    EXPECT_GT(weeapp::ui::View::geometryRevision(), before);
    EXPECT_EQ(child->frame(), weeapp::ui::Rect(11, 10, 20, 20));
}

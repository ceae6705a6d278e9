#include <weeapp/ui/inspection/view_dump.h>
#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/image_view.h>
#include <weeapp/ui/views/label.h>
#include <weeapp/ui/views/page_control.h>
#include <weeapp/ui/views/scroll_view.h>

#include <gtest/gtest.h>

#include <png.h>

namespace {

using namespace weeapp::ui;

ImagePtr tinyImage()
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    image.width = 2;
    image.height = 3;
    image.format = PNG_FORMAT_GRAY;
    const std::uint8_t pixels[6] {};
    std::uint8_t buffer[256];
    png_alloc_size_t size = sizeof buffer;
    EXPECT_TRUE(png_image_write_to_memory(&image, buffer, &size, 0, pixels, 0, nullptr));
    return Image::imageWithData({ buffer, static_cast<std::size_t>(size) });
}

// A plain view prints its common keys in order, colours by name or components, numbers in
// their shortest form.
TEST(ViewDump, PlainViewAndColours)
{
    auto view = View::create({ 2, 2, 316, 110 });
    view->setAlpha(0.05f);
    view->setBackgroundColor(Color::colorWithRedGreenBlueAlpha(32 / 255.0f, 34 / 255.0f, 38 / 255.0f, 1));
    view->layer().cornerRadius = 5;
    view->layer().masksToBounds = true;
    EXPECT_EQ(dumpViewTree(*view),
        R"({"class": "View", "frame": [2, 2, 316, 110], "tag": 0, "hidden": false, "alpha": 0.05, )"
        R"("background": [0.1254902, 0.13333334, 0.14901961, 1], "cornerRadius": 5, "masksToBounds": true, )"
        R"("borderWidth": 0, "children": []})");
}

// Each class adds its own keys before the children; children print in insertion order.
TEST(ViewDump, ClassSpecificKeys)
{
    auto container = View::create({ 0, 0, 320, 106 });
    container->setBackgroundColor(Color::greenColor());
    auto scroll = ScrollView::create({ 0, 0, 320, 106 });
    scroll->setContentSize({ 640, 106 });
    scroll->setPagingEnabled(true);
    scroll->setBackgroundColor(Color::clearColor());
    auto pages = PageControl::create({ 0, 91, 316, 15 });
    pages->setNumberOfPages(2);
    pages->setCurrentPage(1);
    pages->setTag(9999);
    pages->setHidden(true);
    container->addSubview(scroll);
    container->addSubview(pages);

    auto button = Button::buttonWithType(0);
    button->setFrame({ 0, 0, 108, 108 });
    auto label = Label::create({ 2, 90, 104, 18 });
    label->setText("Ann \"A\"\n");
    label->setFont(Font::fontWithNameSize("Helvetica", 12.5f));
    label->setTextColor(Color::whiteColor());
    label->setTextAlignment(TextAlignmentCenter);
    label->setMinimumFontSize(9);
    label->setShadowColor(Color::darkTextColor());
    label->setShadowOffset({ 1, 1 });
    scroll->addSubview(label);
    scroll->addSubview(button);

    const std::string dump = dumpViewTree(*container);
    EXPECT_NE(dump.find(R"("background": "green")"), std::string::npos);
    EXPECT_NE(dump.find(R"("class": "ScrollView", "frame": [0, 0, 320, 106], "tag": 0, "hidden": false, "alpha": 1, "background": "clear", )"
                        R"("cornerRadius": 0, "masksToBounds": false, "borderWidth": 0, "contentSize": [640, 106], "contentOffset": [0, 0], )"
                        R"("pagingEnabled": true, "children": [{"class": "Label")"),
        std::string::npos)
        << dump;
    EXPECT_NE(dump.find(R"("text": "Ann \"A\"\n", "font": ["Helvetica", 12.5], "textColor": "white", "alignment": 1, "lines": 1, )"
                        R"("minimumFontSize": 9, "shadowColor": "darkText", "shadowOffset": [1, 1], "children": []})"),
        std::string::npos)
        << dump;
    EXPECT_NE(dump.find(R"("class": "Button", "frame": [0, 0, 108, 108])"), std::string::npos) << dump;
    EXPECT_NE(dump.find(R"("borderWidth": 0, "accessibility": {"element": true, "label": null, "hint": null, "traits": ["button"], )"
                        R"("value": null, "elementsHidden": false}, "image": null, "children": [])"),
        std::string::npos)
        << dump;
    EXPECT_NE(dump.find(R"("class": "PageControl", "frame": [0, 91, 316, 15], "tag": 9999, "hidden": true, )"), std::string::npos) << dump;
    EXPECT_NE(dump.find(R"("pages": 2, "currentPage": 1, "children": []})"), std::string::npos) << dump;
    EXPECT_LT(dump.find("ScrollView"), dump.find("PageControl"));
    EXPECT_LT(dump.find("Label"), dump.find("Button"));
    EXPECT_EQ(dump.find('\n'), std::string::npos);

    // Images show their source and size; an unnamed text colour and no shadow colour print as
    // components and null.
    const auto image = tinyImage();
    ASSERT_NE(image, nullptr);
    button->setImage(image, ControlStateNormal);
    auto imageView = ImageView::create(image->resizableImageWithCapInsets({ 5, 5, 5, 5 }));
    auto plainLabel = Label::create();
    plainLabel->setText(std::string("bad\xff", 4));
    plainLabel->setShadowColor(nullptr);
    EXPECT_NE(dumpViewTree(*button).find(R"("image": {"source": "data", "width": 2, "height": 3}, "children": [])"), std::string::npos);
    EXPECT_NE(dumpViewTree(*imageView).find(R"("class": "ImageView", "frame": [0, 0, 2, 3])"), std::string::npos);
    const std::string labelDump = dumpViewTree(*plainLabel);
    EXPECT_NE(labelDump.find(R"("text": "bad\ufffd", "font": ["Helvetica", 17], "textColor": "black")"), std::string::npos) << labelDump;
    EXPECT_NE(labelDump.find(R"("shadowColor": null, "shadowOffset": [0, -1])"), std::string::npos) << labelDump;
}

// An alert prints its title (or null), its buttons in index order and its tag.
TEST(ViewDump, Alert)
{
    auto alert = AlertView::create(std::nullopt, std::nullopt, nullptr, "Abbrechen", { "Anrufen" });
    alert->setTag(2);
    EXPECT_EQ(dumpAlert(*alert), R"({"title": null, "buttons": ["Abbrechen", "Anrufen"], "tag": 2})");
    auto titled = AlertView::create("Anna", std::nullopt, nullptr, std::nullopt);
    EXPECT_EQ(dumpAlert(*titled), R"({"title": "Anna", "buttons": [], "tag": 0})");
}

}

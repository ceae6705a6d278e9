#include "widget/support/phone_fixture.h"

#include <weeapp/ui/inspection/view_dump.h>
#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/label.h>

namespace kavrin::testing {
namespace {

using StandardGridTest = PhoneFixture;
using weeapp::sys::Value;

// Every tile lies inside its own page and no two overlap, four or five a page; page counts and
// content widths round up without an empty trailing page.
TEST_F(StandardGridTest, TilesStayInsideTheirPages)
{
    for (const bool five : { false, true }) {
        writeSettings({ { "fiveIcons", Value::boolean(five) } });
        for (const int count : { 1, 4, 8, 9, 13 }) {
            writeFavorites(numberedFavorites(count));
            controller->view();
            controller->buildGroundView();
            controller->buildView();
            const int perPage = five ? 5 : 4;
            const std::vector<weeapp::ui::Button*> buttons = tileButtons(*controller->scrollView);
            ASSERT_EQ(buttons.size(), static_cast<std::size_t>(count));
            const int pages = (count + perPage - 1) / perPage;
            EXPECT_EQ(controller->pageControl->numberOfPages(), pages);
            EXPECT_EQ(controller->scrollView->contentSize(), (weeapp::ui::Size { 316.0f * static_cast<float>(pages), five ? 93.0f : 110.0f }));
            for (std::size_t i = 0; i < buttons.size(); ++i) {
                const weeapp::ui::Rect frame = buttons[i]->frame();
                const float pageStart = 316.0f * static_cast<float>(static_cast<int>(i) / perPage);
                EXPECT_EQ(buttons[i]->tag(), static_cast<int>(i));
                EXPECT_GE(frame.x(), pageStart);
                EXPECT_LE(frame.maxX(), pageStart + 316.0f);
                if (i > 0) {
                    EXPECT_GT(frame.x(), buttons[i - 1]->frame().maxX());
                }
            }
        }
    }
}

// The measures of the first tiles of the first two pages, and the name label under each.
TEST_F(StandardGridTest, TileGeometry)
{
    writeFavorites(numberedFavorites(8));
    controller->view();
    std::vector<weeapp::ui::Button*> buttons = tileButtons(*controller->scrollView);
    EXPECT_EQ(buttons[0]->frame(), (weeapp::ui::Rect { 12, 12, 64, 64 }));
    EXPECT_EQ(buttons[4]->frame().x(), 328.0f);
    EXPECT_EQ(buttons[7]->frame().maxX(), 620.0f);
    const std::vector<weeapp::ui::Label*> names = tileLabels(*controller->scrollView);
    EXPECT_EQ(names[0]->frame(), (weeapp::ui::Rect { 12, 76, 64, 20 }));
    EXPECT_EQ(names[0]->font()->fontName(), "Helvetica");
    EXPECT_EQ(names[0]->font()->pointSize(), 12.0f);
    EXPECT_EQ(names[0]->minimumFontSize(), 9.0f);
    EXPECT_TRUE(names[0]->adjustsFontSizeToFitWidth());
    EXPECT_EQ(names[0]->textAlignment(), weeapp::ui::TextAlignmentCenter);
    EXPECT_EQ(names[0]->textColor(), weeapp::ui::Color::whiteColor());
    EXPECT_EQ(names[0]->shadowColor(), weeapp::ui::Color::darkTextColor());
    EXPECT_EQ(names[0]->tag(), 0);
    EXPECT_EQ(buttons[0]->layer().cornerRadius, 5.0f);
    EXPECT_TRUE(buttons[0]->layer().masksToBounds);
    EXPECT_EQ(controller->scrollView->subviews()[1].get(), names[0]);

    setSetting("fiveIcons", Value::boolean(true));
    writeFavorites(numberedFavorites(6));
    controller->buildGroundView();
    controller->buildView();
    buttons = tileButtons(*controller->scrollView);
    EXPECT_EQ(buttons[0]->frame(), (weeapp::ui::Rect { 6, 5, 56, 56 }));
    EXPECT_EQ(buttons[5]->frame().x(), 322.0f);
    EXPECT_EQ(tileLabels(*controller->scrollView)[0]->frame(), (weeapp::ui::Rect { 6, 61, 56, 20 }));
}

// Badges carry the number's label in display wording, and labelsAreVisible follows the flag
// only when a tile was drawn.
TEST_F(StandardGridTest, LabelBadges)
{
    writeFavorites({ { "A", 1, "_$!<Mobile>!$_", "1" }, { "B", 2, "_$!<HomeFAX>!$_", "2" }, { "C", 3, "Boat", "3" } });
    setSetting("showLabels", Value::boolean(true));
    controller->view();
    const std::vector<weeapp::ui::Button*> buttons = tileButtons(*controller->scrollView);
    std::vector<std::string> texts;
    for (weeapp::ui::Button* button : buttons) {
        ASSERT_EQ(button->subviews().size(), 1u);
        auto* badge = dynamic_cast<weeapp::ui::Label*>(button->subviews()[0].get());
        ASSERT_NE(badge, nullptr);
        EXPECT_EQ(badge->frame(), (weeapp::ui::Rect { 0, 54, 64, 10 }));
        EXPECT_FLOAT_EQ(badge->alpha(), 0.9f);
        EXPECT_EQ(badge->minimumFontSize(), 6.0f);
        EXPECT_FLOAT_EQ(badge->backgroundColor()->red(), 32.0f / 255.0f);
        texts.push_back(badge->text());
    }
    EXPECT_EQ(texts, (std::vector<std::string> { "mobile", "home fax", "Boat" }));
    EXPECT_EQ(controller->labelsAreVisible, weeapp::sys::YES);

    writeFavorites({});
    setSetting("showLabels", Value::boolean(false));
    controller->buildGroundView();
    controller->buildView();
    EXPECT_EQ(controller->labelsAreVisible, weeapp::sys::YES);
    writeFavorites(numberedFavorites(1));
    controller->buildGroundView();
    controller->buildView();
    EXPECT_EQ(controller->labelsAreVisible, weeapp::sys::NO);
    EXPECT_TRUE(tileButtons(*controller->scrollView)[0]->subviews().empty());
}

// The first tile of each standard layout, its badge and the name under it, as the host dumps
// them: every measure, colour, font and shadow the user sees.
TEST_F(StandardGridTest, TheFirstTileAsTheHostDumpsIt)
{
    const std::string accessibility = R"("accessibility": {"element": true, "label": "Anna Berg, mobile", "hint": "Calls", )"
                                      R"("traits": ["button"], "value": null, "elementsHidden": false}, )";
    const auto badge = [](const char* frame) {
        return std::string(R"({"class": "Label", "frame": [)") + frame
            + R"(], "tag": 0, "hidden": false, "alpha": 0.9, "background": [0.1254902, 0.13333334, 0.14901961, 1], )"
              R"("cornerRadius": 0, "masksToBounds": false, "borderWidth": 0, "accessibility": {"element": false, )"
              R"("label": "mobile", "hint": null, "traits": ["staticText"], "value": null, "elementsHidden": false}, )"
              R"("text": "mobile", "font": ["Helvetica", 9], "textColor": "white", "alignment": 1, "lines": 1, )"
              R"("minimumFontSize": 6, "shadowColor": "darkText", "shadowOffset": [1, 1], "children": []})";
    };
    const auto name = [](const char* frame) {
        return std::string(R"({"class": "Label", "frame": [)") + frame
            + R"(], "tag": 0, "hidden": false, "alpha": 1, "background": "clear", "cornerRadius": 0, )"
              R"("masksToBounds": false, "borderWidth": 0, "accessibility": {"element": false, "label": "Anna Berg", )"
              R"("hint": null, "traits": ["staticText"], "value": null, "elementsHidden": false}, "text": "Anna Berg", )"
              R"("font": ["Helvetica", 12], "textColor": "white", "alignment": 1, "lines": 1, "minimumFontSize": 9, )"
              R"("shadowColor": "darkText", "shadowOffset": [1, 1], "children": []})";
    };
    const auto button = [&](const char* frame, const std::string& badgeDump) {
        return std::string(R"({"class": "Button", "frame": [)") + frame
            + R"(], "tag": 0, "hidden": false, "alpha": 1, "background": null, "cornerRadius": 5, "masksToBounds": true, )"
              R"("borderWidth": 0, )"
            + accessibility + R"("image": {"source": "data", "width": 4, "height": 4}, "children": [)" + badgeDump + "]}";
    };

    writeFavorites({ { "Anna Berg", 100, "_$!<Mobile>!$_", "1" } });
    writeThumbnails({ { 100, pngBytes(4, 4) } });
    for (const bool five : { false, true }) {
        SCOPED_TRACE(five ? "five a page" : "four a page");
        writeSettings({ { "showLabels", Value::boolean(true) }, { "fiveIcons", Value::boolean(five) } });
        controller = std::make_unique<KavrinController>();
        controller->view();
        const weeapp::ui::Button& tile = *tileButtons(*controller->scrollView).at(0);
        EXPECT_EQ(weeapp::ui::dumpViewTree(tile), five ? button("6, 5, 56, 56", badge("0, 48, 56, 8")) : button("12, 12, 64, 64", badge("0, 54, 64, 10")));
        EXPECT_EQ(weeapp::ui::dumpViewTree(*tileLabels(*controller->scrollView).at(0)), name(five ? "6, 61, 56, 20" : "12, 76, 64, 20"));
        // Not in the dump: a long label shrinks its text to fit.
        EXPECT_TRUE(dynamic_cast<const weeapp::ui::Label&>(*tile.subviews().at(0)).adjustsFontSizeToFitWidth());
    }
}

// A rebuild removes every tile but a child tagged 9999, and buttons stays empty.
TEST_F(StandardGridTest, RebuildReplacesTheTiles)
{
    writeFavorites(numberedFavorites(3));
    controller->view();
    auto kept = weeapp::ui::View::create({ 0, 0, 1, 1 });
    kept->setTag(9999);
    controller->scrollView->addSubview(kept);
    for (int i = 0; i < 3; ++i) {
        controller->buildGroundView();
        controller->buildView();
    }
    EXPECT_EQ(controller->scrollView->subviews().size(), 7u);
    EXPECT_EQ(kept->superview(), controller->scrollView.get());
    EXPECT_TRUE(controller->buttons->empty());
}

}
}

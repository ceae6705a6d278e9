#include "widget/support/phone_fixture.h"

#include <weeapp/ui/button.h>
#include <weeapp/ui/label.h>

namespace kavrin::testing {
namespace {

using StandardGridTest = PhoneFixture;
using sys::Value;

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
            const std::vector<ui::Button*> buttons = tileButtons(*controller->scrollView);
            ASSERT_EQ(buttons.size(), static_cast<std::size_t>(count));
            const int pages = (count + perPage - 1) / perPage;
            EXPECT_EQ(controller->pageControl->numberOfPages(), pages);
            EXPECT_EQ(controller->scrollView->contentSize(), (ui::Size { 316.0f * static_cast<float>(pages), five ? 93.0f : 110.0f }));
            for (std::size_t i = 0; i < buttons.size(); ++i) {
                const ui::Rect frame = buttons[i]->frame();
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
    std::vector<ui::Button*> buttons = tileButtons(*controller->scrollView);
    EXPECT_EQ(buttons[0]->frame(), (ui::Rect { 12, 12, 64, 64 }));
    EXPECT_EQ(buttons[4]->frame().x(), 328.0f);
    EXPECT_EQ(buttons[7]->frame().maxX(), 620.0f);
    const std::vector<ui::Label*> names = tileLabels(*controller->scrollView);
    EXPECT_EQ(names[0]->frame(), (ui::Rect { 12, 76, 64, 20 }));
    EXPECT_EQ(names[0]->font()->fontName(), "Helvetica");
    EXPECT_EQ(names[0]->font()->pointSize(), 12.0f);
    EXPECT_EQ(names[0]->minimumFontSize(), 9.0f);
    EXPECT_TRUE(names[0]->adjustsFontSizeToFitWidth());
    EXPECT_EQ(names[0]->textAlignment(), ui::TextAlignmentCenter);
    EXPECT_EQ(names[0]->textColor(), ui::Color::whiteColor());
    EXPECT_EQ(names[0]->shadowColor(), ui::Color::darkTextColor());
    EXPECT_EQ(names[0]->tag(), 0);
    EXPECT_EQ(buttons[0]->layer().cornerRadius, 5.0f);
    EXPECT_TRUE(buttons[0]->layer().masksToBounds);
    EXPECT_EQ(controller->scrollView->subviews()[1].get(), names[0]);

    setSetting("fiveIcons", Value::boolean(true));
    writeFavorites(numberedFavorites(6));
    controller->buildGroundView();
    controller->buildView();
    buttons = tileButtons(*controller->scrollView);
    EXPECT_EQ(buttons[0]->frame(), (ui::Rect { 6, 5, 56, 56 }));
    EXPECT_EQ(buttons[5]->frame().x(), 322.0f);
    EXPECT_EQ(tileLabels(*controller->scrollView)[0]->frame(), (ui::Rect { 6, 61, 56, 20 }));
}

// Badges carry the number's label in display wording, and labelsAreVisible follows the flag
// only when a tile was drawn.
TEST_F(StandardGridTest, LabelBadges)
{
    writeFavorites({ { "A", 1, "_$!<Mobile>!$_", "1" }, { "B", 2, "_$!<HomeFAX>!$_", "2" }, { "C", 3, "Boat", "3" } });
    setSetting("showLabels", Value::boolean(true));
    controller->view();
    const std::vector<ui::Button*> buttons = tileButtons(*controller->scrollView);
    std::vector<std::string> texts;
    for (ui::Button* button : buttons) {
        ASSERT_EQ(button->subviews().size(), 1u);
        auto* badge = dynamic_cast<ui::Label*>(button->subviews()[0].get());
        ASSERT_NE(badge, nullptr);
        EXPECT_EQ(badge->frame(), (ui::Rect { 0, 54, 64, 10 }));
        EXPECT_FLOAT_EQ(badge->alpha(), 0.9f);
        EXPECT_EQ(badge->minimumFontSize(), 6.0f);
        EXPECT_FLOAT_EQ(badge->backgroundColor()->red(), 32.0f / 255.0f);
        texts.push_back(badge->text());
    }
    EXPECT_EQ(texts, (std::vector<std::string> { "mobile", "home fax", "Boat" }));
    EXPECT_EQ(controller->labelsAreVisible, sys::YES);

    writeFavorites({});
    setSetting("showLabels", Value::boolean(false));
    controller->buildGroundView();
    controller->buildView();
    EXPECT_EQ(controller->labelsAreVisible, sys::YES);
    writeFavorites(numberedFavorites(1));
    controller->buildGroundView();
    controller->buildView();
    EXPECT_EQ(controller->labelsAreVisible, sys::NO);
    EXPECT_TRUE(tileButtons(*controller->scrollView)[0]->subviews().empty());
}

// A rebuild removes every tile but a child tagged 9999, and buttons stays empty.
TEST_F(StandardGridTest, RebuildReplacesTheTiles)
{
    writeFavorites(numberedFavorites(3));
    controller->view();
    auto kept = ui::View::create({ 0, 0, 1, 1 });
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

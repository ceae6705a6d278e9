#include "widget/support/phone_fixture.h"

#include <weeapp/sys/events/run_loop.h>
#include <weeapp/ui/text/font.h>
#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/label.h>

namespace kavrin::testing {
namespace {

using weeapp::sys::Value;

class MetroGridTest : public PhoneFixture {
protected:
    void buildMetro(int favorites, int tilesAlign = 0)
    {
        weeapp::sys::Dictionary settings { { "metroStyle", Value::boolean(true) } };
        if (tilesAlign)
            settings["tilesAlign"] = Value::integer(tilesAlign);
        writeSettings(settings);
        writeFavorites(numberedFavorites(favorites));
        controller = std::make_unique<KavrinController>();
        controller->view();
    }
};

// Page counts for the capacities of the default pattern and of the 64-point pattern.
TEST_F(MetroGridTest, PageCounts)
{
    const std::vector<std::pair<int, int>> defaultPattern { { 0, 1 }, { 1, 1 }, { 9, 1 }, { 10, 2 }, { 21, 2 }, { 22, 3 } };
    for (const auto& [favorites, pages] : defaultPattern) {
        buildMetro(favorites);
        EXPECT_EQ(controller->pageControl->numberOfPages(), pages) << favorites;
        EXPECT_EQ(controller->scrollView->contentSize(), (weeapp::ui::Size { 320.0f * static_cast<float>(pages), 106 }));
        EXPECT_EQ(controller->buttons->size(), static_cast<std::size_t>(favorites));
        EXPECT_EQ(controller->littleTiles, 4);
    }
    for (const auto& [favorites, pages] : std::vector<std::pair<int, int>> { { 7, 1 }, { 8, 2 }, { 17, 2 }, { 18, 3 } }) {
        buildMetro(favorites, 2);
        EXPECT_EQ(controller->pageControl->numberOfPages(), pages) << favorites;
    }
}

// Tile positions of the default pattern: the big tile, two rows of four beside it, then rows of
// six on later pages; buttons in favorites order, each covering its label.
TEST_F(MetroGridTest, DefaultPatternPlacement)
{
    buildMetro(22);
    const std::vector<weeapp::ui::Button*> buttons = tileButtons(*controller->scrollView);
    ASSERT_EQ(buttons.size(), 22u);
    EXPECT_EQ(buttons[0]->frame(), (weeapp::ui::Rect { 0, 0, 108, 108 }));
    EXPECT_EQ(buttons[1]->frame(), (weeapp::ui::Rect { 108, 0, 53, 53 }));
    EXPECT_EQ(buttons[4]->frame(), (weeapp::ui::Rect { 267, 0, 53, 53 }));
    EXPECT_EQ(buttons[5]->frame(), (weeapp::ui::Rect { 108, 53, 53, 53 }));
    EXPECT_EQ(buttons[9]->frame(), (weeapp::ui::Rect { 320, 0, 53, 53 }));
    EXPECT_EQ(buttons[14]->frame(), (weeapp::ui::Rect { 585, 0, 53, 53 }));
    EXPECT_EQ(buttons[15]->frame(), (weeapp::ui::Rect { 320, 53, 53, 53 }));
    EXPECT_EQ(buttons[21]->frame(), (weeapp::ui::Rect { 640, 0, 53, 53 }));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->tag(), static_cast<int>(i));
        EXPECT_EQ((*controller->buttons)[i].get(), buttons[i]);
        EXPECT_EQ(buttons[i]->layer().cornerRadius, 0.0f);
    }
    const auto& children = controller->scrollView->subviews();
    EXPECT_NE(dynamic_cast<weeapp::ui::Label*>(children[0].get()), nullptr);
    EXPECT_EQ(children[1].get(), buttons[0]);
}

// Only the first word shows, measured into a label standing on the tile's bottom edge.
TEST_F(MetroGridTest, FirstWordLabels)
{
    writeSettings({ { "metroStyle", Value::boolean(true) }, { "metroBackground", Value::integer(5) } });
    writeFavorites({ { "Anna Maria Schmidt", 1, {}, "1" }, { " Leading", 2, {}, "2" }, { "Tab\tSeparated", 3, {}, "3" },
        { "Ünal", 4, {}, "4" }, { std::nullopt, 5, {}, "5" } });
    controller->view();
    const std::vector<weeapp::ui::Label*> labels = tileLabels(*controller->scrollView);
    ASSERT_EQ(labels.size(), 5u);
    EXPECT_EQ(labels[0]->text(), "Anna");
    EXPECT_EQ(labels[1]->text(), "");
    EXPECT_EQ(labels[2]->text(), "Tab\tSeparated");
    EXPECT_EQ(labels[3]->text(), "Ünal");
    EXPECT_EQ(labels[4]->text(), "(null)");
    EXPECT_EQ(labels[1]->frame().height(), 0.0f);

    const weeapp::ui::Label& big = *labels[0];
    const auto height = static_cast<float>(static_cast<int>(weeapp::ui::sizeWithFont("Anna", *big.font(), { 108, 108 }, weeapp::ui::LineBreakMode::WordWrap).height));
    EXPECT_GT(height, 0.0f);
    EXPECT_EQ(big.frame(), (weeapp::ui::Rect { 2, 108 - height, 104, height }));
    EXPECT_EQ(big.font()->pointSize(), 11.0f);
    EXPECT_EQ(big.numberOfLines(), 2);
    EXPECT_EQ(big.textAlignment(), weeapp::ui::TextAlignmentLeft);
    EXPECT_EQ(big.textColor(), weeapp::ui::Color::whiteColor());
    EXPECT_EQ(labels[3]->frame().maxY(), 53.0f);
}

// Black text on white, yellow, cyan and green; white on magenta, red and clear.
TEST_F(MetroGridTest, TextColourFollowsTheBackground)
{
    writeFavorites(numberedFavorites(1));
    for (int background = 1; background <= 7; ++background) {
        writeSettings({ { "metroStyle", Value::boolean(true) }, { "metroBackground", Value::integer(background) } });
        controller = std::make_unique<KavrinController>();
        controller->view();
        const weeapp::ui::ColorPtr expected = background == 4 || background == 5 || background == 7 ? weeapp::ui::Color::whiteColor() : weeapp::ui::Color::blackColor();
        EXPECT_EQ(tileLabels(*controller->scrollView)[0]->textColor(), expected) << background;
    }
}

// Each metro build schedules a flip unless the flips are switched off, also without favorites.
TEST_F(MetroGridTest, BuildSchedulesAFlip)
{
    buildMetro(0);
    EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 1u);
    setSetting("animateMetrosOff", Value::boolean(true));
    controller->buildGroundView();
    controller->buildView();
    EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 1u);
}

// Two rebuilds in a row: buttons holds only the last build's tiles, the earlier ones are gone
// from the scroll view, and nothing but a tile survives except the view tagged 9999.
TEST_F(MetroGridTest, RebuildsKeepOnlyTheLastTiles)
{
    buildMetro(10);
    auto kept = weeapp::ui::View::create({ 0, 0, 1, 1 });
    kept->setTag(9999);
    controller->scrollView->addSubview(kept);
    const std::shared_ptr<weeapp::ui::Button> first = (*controller->buttons)[0];
    for (int i = 0; i < 2; ++i) {
        controller->buildGroundView();
        controller->buildView();
    }
    ASSERT_EQ(controller->buttons->size(), 10u);
    EXPECT_EQ(first->superview(), nullptr);
    EXPECT_NE((*controller->buttons)[0], first);
    EXPECT_EQ(controller->scrollView->subviews().size(), 21u);
    EXPECT_EQ(kept->superview(), controller->scrollView.get());
    const std::vector<weeapp::ui::Button*> shown = tileButtons(*controller->scrollView);
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ((*controller->buttons)[i].get(), shown[i]);
}

}
}

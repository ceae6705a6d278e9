#include "widget/support/phone_fixture.h"

#include "resources/bundle_resources.h"
#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/label.h>

#include <algorithm>
#include <cmath>

namespace kavrin::testing {
namespace {

using weeapp::sys::Value;

struct Look {
    const char* name;
    weeapp::sys::Dictionary settings;
    float pageWidth;
    int firstPage;  // tiles on the first page
    int laterPage;  // tiles on every later page
    float overhang; // how far the pattern's numbers let a tile reach past its page or the view
};

std::vector<Look> allLooks()
{
    const auto metro = [](int tilesAlign) {
        return weeapp::sys::Dictionary { { "metroStyle", Value::boolean(true) }, { "tilesAlign", Value::integer(tilesAlign) } };
    };
    return {
        { "four a page", { { "showLabels", Value::boolean(true) } }, 316, 4, 4, 0 },
        { "five a page", { { "fiveIcons", Value::boolean(true) } }, 316, 5, 5, 0 },
        { "metro 1", metro(1), 320, 9, 12, 2 },
        { "metro 2", metro(2), 320, 7, 10, 0 },
        { "metro 3", metro(3), 320, 11, 14, 2 },
        { "metro 4", metro(4), 320, 13, 16, 0 },
    };
}

int expectedPages(const Look& look, int favorites, bool metro)
{
    if (favorites <= look.firstPage)
        return metro || favorites > 0 ? 1 : 0;
    return 1 + (favorites - look.firstPage + look.laterPage - 1) / look.laterPage;
}

// How far two tiles overlap across, 0 when they do not meet.
float overlapWidth(const weeapp::ui::Rect& a, const weeapp::ui::Rect& b)
{
    if (!(a.x() < b.maxX() && b.x() < a.maxX() && a.y() < b.maxY() && b.y() < a.maxY()))
        return 0;
    return std::min(a.maxX(), b.maxX()) - std::max(a.x(), b.x());
}

bool inside(const weeapp::ui::Rect& inner, const weeapp::ui::Rect& outer)
{
    return inner.x() >= outer.x() && inner.maxX() <= outer.maxX() && inner.y() >= outer.y() && inner.maxY() <= outer.maxY();
}

using TileInvariantsTest = PhoneFixture;

// For 0 to 60 favorites in every look and pattern: tags run 0 to n-1 in favorites order; every
// tile lies in its page and the view, and no two tiles overlap, but for the two points by which
// some patterns' numbers overhang; every name label keeps to its tile's column; the page count
// opens no empty page; and the metro look keeps its buttons in favorites order.
TEST_F(TileInvariantsTest, TilesKeepToTheirPagesForEveryCountAndLook)
{
    for (const Look& look : allLooks()) {
        const bool metro = look.settings.contains("metroStyle");
        writeSettings(look.settings);
        for (int favorites = 0; favorites <= 60; ++favorites) {
            SCOPED_TRACE(std::string(look.name) + ", " + std::to_string(favorites) + " favorites");
            writeFavorites(numberedFavorites(favorites));
            controller = std::make_unique<KavrinController>();
            controller->view();

            const int pages = expectedPages(look, favorites, metro);
            ASSERT_EQ(controller->pageControl->numberOfPages(), pages);
            EXPECT_EQ(controller->scrollView->contentSize().width, look.pageWidth * static_cast<float>(pages));
            const float viewHeight = controller->scrollView->frame().height();

            const std::vector<weeapp::ui::Button*> buttons = tileButtons(*controller->scrollView);
            const std::vector<weeapp::ui::Label*> labels = tileLabels(*controller->scrollView);
            ASSERT_EQ(buttons.size(), static_cast<std::size_t>(favorites));
            ASSERT_EQ(labels.size(), buttons.size());
            // Only the metro look keeps its buttons for the flips.
            ASSERT_EQ(controller->buttons->size(), metro ? buttons.size() : 0u);
            for (std::size_t i = 0; i < buttons.size(); ++i) {
                const weeapp::ui::Rect tile = buttons[i]->frame();
                EXPECT_EQ(buttons[i]->tag(), static_cast<int>(i));
                if (metro) {
                    EXPECT_EQ((*controller->buttons)[i].get(), buttons[i]);
                }
                const int page = static_cast<int>(std::floor(tile.x() / look.pageWidth));
                EXPECT_LT(page, pages);
                EXPECT_EQ(page, static_cast<int>(i) < look.firstPage ? 0 : 1 + (static_cast<int>(i) - look.firstPage) / look.laterPage);
                const weeapp::ui::Rect pageArea { look.pageWidth * static_cast<float>(page), 0, look.pageWidth + look.overhang, viewHeight + look.overhang };
                EXPECT_TRUE(inside(tile, pageArea)) << "tile " << i;
                // A last column that overhangs its page may reach over the next page's first one.
                for (std::size_t j = 0; j < i; ++j)
                    EXPECT_LE(overlapWidth(tile, buttons[j]->frame()), look.overhang) << "tiles " << j << " and " << i;

                const weeapp::ui::Rect label = labels[i]->frame();
                EXPECT_GE(label.x(), tile.x());
                EXPECT_LE(label.maxX(), tile.maxX());
                if (metro) {
                    EXPECT_TRUE(inside(label, tile)) << "label " << i;
                } else {
                    EXPECT_EQ(label.y(), tile.maxY());
                }
            }
        }
    }
}

// In every look each tile shows its own contact's photo: the address book's, the bundle's
// placeholder for a contact without one, nothing for a photo that cannot be decoded. The metro
// look's labels are see-through, so that the colour shows around the first word: on the phone a
// label's background is not clear unless it is made so.
TEST_F(TileInvariantsTest, EveryTileShowsItsOwnContactsPhoto)
{
    writeBundleImages();
    writeFavorites(numberedFavorites(3));
    writeThumbnails({ { 100, pngBytes(6, 3) }, { 102, { 1, 2, 3, 4 } } });
    for (const Look& look : allLooks()) {
        SCOPED_TRACE(look.name);
        writeSettings(look.settings);
        controller = std::make_unique<KavrinController>();
        controller->view();
        const std::vector<weeapp::ui::Button*> buttons = tileButtons(*controller->scrollView);
        ASSERT_EQ(buttons.size(), 3u);
        ASSERT_NE(buttons[0]->currentImage(), nullptr);
        EXPECT_EQ(buttons[0]->currentImage()->size(), (weeapp::ui::Size { 6, 3 }));
        ASSERT_NE(buttons[1]->currentImage(), nullptr);
        EXPECT_EQ(buttons[1]->currentImage()->source(), std::string("file:") + kPlaceholderPhotoPath);
        EXPECT_EQ(buttons[2]->currentImage(), nullptr);
        for (const weeapp::ui::Label* label : tileLabels(*controller->scrollView))
            EXPECT_EQ(label->backgroundColor(), weeapp::ui::Color::clearColor());
    }
}

}
}

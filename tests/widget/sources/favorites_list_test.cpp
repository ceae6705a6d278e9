#include "widget/support/phone_fixture.h"

#include "sources/favorites_list.h"
#include "support/property_list_shapes.h"
#include <weeapp/sys/phone_paths.h>
#include <weeapp/ui/button.h>
#include <weeapp/ui/label.h>

#include <fstream>

namespace kavrin::testing {
namespace {

using FavoritesListTest = PhoneFixture;
using sys::Value;

// Missing, broken or wrongly rooted favorites give no list and no tiles, in both looks.
TEST_F(FavoritesListTest, BadFilesGiveNoTiles)
{
    EXPECT_EQ(loadFavoritesList(), nullptr);
    std::ofstream(realPath(sys::kFavoritesPath)) << "not a property list";
    EXPECT_EQ(loadFavoritesList(), nullptr);
    writeFavoritesValue(Value::dictionary({ { "Name", Value::string("A") } }));
    EXPECT_EQ(loadFavoritesList(), nullptr);
    writeFavoritesValue(Value::array({}));
    ASSERT_NE(loadFavoritesList(), nullptr);

    std::ofstream(realPath(sys::kFavoritesPath), std::ios::trunc) << "";
    controller->view();
    EXPECT_TRUE(controller->scrollView->subviews().empty());
    EXPECT_EQ(controller->pageControl->numberOfPages(), 0);
    EXPECT_EQ(controller->scrollView->contentSize().width, 0.0f);
}

// A favorites list nested far deeper than any real one, binary or XML, is no list: no tiles.
TEST_F(FavoritesListTest, DeepFilesGiveNoTiles)
{
    for (bool binary : { true, false }) {
        std::ofstream(realPath(sys::kFavoritesPath), std::ios::trunc)
            << (binary ? kavrin::testing::deepBinaryPropertyList(100'000, false) : kavrin::testing::deepXmlPropertyList(100'000, false));
        EXPECT_EQ(loadFavoritesList(), nullptr) << binary;
    }
    controller->view();
    EXPECT_TRUE(controller->scrollView->subviews().empty());
    EXPECT_EQ(controller->pageControl->numberOfPages(), 0);
}

// A favorites list that the phone's reader refuses whole, for one malformed value or for what
// lies around the root, is no list: no tiles. The same list well formed shows its favorite.
TEST_F(FavoritesListTest, MalformedXmlFilesGiveNoTiles)
{
    const std::string root =
        "<array><dict><key>Name</key><string>Anna</string><key>ABUid</key><integer>5</integer>"
        "<key>Value</key><string>+49 170 1</string></dict></array>";
    std::ofstream(realPath(sys::kFavoritesPath), std::ios::trunc) << "<?xml version=\"1.0\"?><plist version=\"1.0\">" << root << "</plist>";
    EXPECT_EQ(sys::count(loadFavoritesList()), 1u);
    for (const std::string& bytes : malformedXmlPropertyLists(root)) {
        std::ofstream(realPath(sys::kFavoritesPath), std::ios::trunc) << bytes;
        EXPECT_EQ(loadFavoritesList(), nullptr) << bytes;
    }
    controller->view();
    EXPECT_TRUE(controller->scrollView->subviews().empty());
    EXPECT_EQ(controller->pageControl->numberOfPages(), 0);
}

// Elements that are not dictionaries and entries without keys still get a tile each, read as
// empty entries: "(null)" for a missing name or label, record 0, and nothing to call.
TEST_F(FavoritesListTest, OddEntriesStillBuildTiles)
{
    writeFavoritesValue(Value::array({
        Value::string("just text"),
        Value::dictionary({}),
        Value::dictionary({ { "Name", Value::integer(42) }, { "ABUid", Value::string("7x") }, { "Value", Value::integer(5551234) } }),
        Value::array({}),
    }));
    setSetting("showLabels", Value::boolean(true));
    controller->view();
    const std::vector<ui::Button*> buttons = tileButtons(*controller->scrollView);
    ASSERT_EQ(buttons.size(), 4u);
    const std::vector<ui::Label*> names = tileLabels(*controller->scrollView);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0]->text(), "(null)");
    EXPECT_EQ(names[2]->text(), "42");
    auto* badge = dynamic_cast<ui::Label*>(buttons[1]->subviews().at(0).get());
    ASSERT_NE(badge, nullptr);
    EXPECT_EQ(badge->text(), "(null)");

    const FavoriteEntry odd { sys::objectAtIndex(controller->rawElementsArray, 2) };
    EXPECT_EQ(odd.recordId(), 7);
    EXPECT_EQ(odd.number(), std::nullopt);
    EXPECT_EQ(FavoriteEntry { sys::objectAtIndex(controller->rawElementsArray, 0) }.number(), std::nullopt);

    showWidget();
    buttons[0]->sendActionsForControlEvents(ui::ControlEventTouchUpInside);
    EXPECT_TRUE(openedURLs.empty());
    buttons[2]->sendActionsForControlEvents(ui::ControlEventTouchUpInside);
    EXPECT_TRUE(openedURLs.empty());
}

}
}

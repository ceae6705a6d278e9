#include "session/host_session.h"

#include "support/host_harness.h"
#include <weeapp/sys/clock.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/random.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/sys/user_defaults.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

namespace kavrin::testing {
namespace {

// The host's session in this process, on a phone root of its own with the built widget, the
// run loop on a manual clock and English as the language; what the widget hands to the system
// is printed as the plain mode prints it.
class HostSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sys::RunLoop::main().setClock(std::make_shared<sys::ManualClock>());
        sys::setPhoneRoot(phone.path());
        sys::UserDefaults::standardUserDefaults().setObjectForKey(sys::Value::array({ sys::Value::string("en") }), sys::kAppleLanguagesKey);
        sys::seedRandom(1);
    }
    void TearDown() override
    {
        session.reset();
    }

    // Loads the widget and puts its view on the screen.
    void showWidget()
    {
        session = std::make_unique<host::HostSession>(plain, notes);
        std::ostringstream failures;
        ASSERT_TRUE(session->start(std::nullopt, failures)) << failures.str();
        session->showView();
        ASSERT_NE(session->contentView(), nullptr);
    }
    // The lines printed since the last call.
    std::vector<std::string> printed()
    {
        std::vector<std::string> lines = linesOf(out.str());
        out.str("");
        return lines;
    }

    PhoneRoot phone;
    std::ostringstream out;
    std::ostringstream notes;
    host::PlainOutput plain { out };
    std::unique_ptr<host::HostSession> session;
};

sys::Array threeFavorites()
{
    return {
        favorite("Ada Quell", 1, "_$!<Mobile>!$_", "+49 170 111 2222"),
        favorite("Bo Rinne", 2, "_$!<Home>!$_", "(030) 555-0142"),
        favorite("Cleo", 3, "Boat", "0170 333"),
    };
}

// A tap reaches the tile under it through hit testing and its standard action opens the URL; a
// tap beside the tiles reaches nothing; with both ask-flags the tile asks instead, the alert
// takes every tap for itself until a button is pressed, and a press acts on the alert on top.
TEST_F(HostSessionTest, TapsAndPressesReachTheWidget)
{
    phone.writeFavorites(threeFavorites());
    showWidget();

    session->tap({ 44, 44 });
    session->tap({ 270, 44 });
    EXPECT_EQ(printed(), std::vector<std::string> { "open tel:+491701112222" });
    EXPECT_FALSE(session->press(0));

    phone.writeSettings({ { "askForCall", sys::Value::boolean(true) }, { "askForText", sys::Value::boolean(true) } });
    session->notifySettingsChanged();
    session->idle();
    session->showView();
    session->tap({ 120, 44 });
    EXPECT_EQ(printed(), std::vector<std::string> { "alert {\"title\": \"Bo Rinne\", \"buttons\": [\"Cancel\", \"Call\", \"Message\"], \"tag\": 1}" });
    ASSERT_NE(session->visibleAlert(), nullptr);

    session->tap({ 44, 44 });
    EXPECT_TRUE(printed().empty());
    Result<void> outOfRange = session->press(3);
    ASSERT_FALSE(outOfRange);
    EXPECT_EQ(outOfRange.error(), "the alert has no button 3");
    ASSERT_TRUE(session->press(2));
    EXPECT_EQ(printed(), std::vector<std::string> { "open sms:(030)555-0142" });
    EXPECT_EQ(session->visibleAlert(), nullptr);
    Result<void> noAlert = session->press(0);
    ASSERT_FALSE(noAlert);
    EXPECT_EQ(noAlert.error(), "no alert is shown");
}

// The scroll view's pages: a swipe to a page is kept within the pages, the page in view follows
// it, and a tap on a later page reaches that page's tiles.
TEST_F(HostSessionTest, PagingKeepsWithinThePages)
{
    sys::Array favorites;
    for (int i = 1; i <= 12; ++i)
        favorites.push_back(favorite("Friend " + std::to_string(i), i, "_$!<Mobile>!$_", std::to_string(1000 + i)));
    phone.writeFavorites(std::move(favorites));
    showWidget();

    ASSERT_NE(session->scrollView(), nullptr);
    const int pages = session->pageCount();
    ASSERT_GE(pages, 2);
    EXPECT_EQ(session->currentPage(), 0);

    ASSERT_TRUE(session->scrollToPage(1));
    EXPECT_EQ(session->currentPage(), 1);
    session->tap({ 44, 44 });
    std::vector<std::string> opened = printed();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0], "open tel:1001");
    EXPECT_TRUE(opened[0].starts_with("open tel:10")) << opened[0];

    ASSERT_TRUE(session->scrollToPage(pages + 5));
    EXPECT_EQ(session->currentPage(), pages - 1);
    ASSERT_TRUE(session->scrollToPage(-3));
    EXPECT_EQ(session->currentPage(), 0);
    session->tap({ 44, 44 });
    EXPECT_EQ(printed(), std::vector<std::string> { "open tel:1001" });
}

// Before its view is shown and after its controller is destroyed, the session has nothing to
// tap or page, and says so instead of reaching into a view that is gone.
TEST_F(HostSessionTest, NothingToTapOrPageWithoutAView)
{
    phone.writeFavorites(threeFavorites());
    session = std::make_unique<host::HostSession>(plain, notes);
    std::ostringstream failures;
    ASSERT_TRUE(session->start(std::nullopt, failures)) << failures.str();
    session->tap({ 44, 44 });
    EXPECT_FALSE(session->scrollToPage(1));
    EXPECT_EQ(session->pageCount(), 1);
    EXPECT_TRUE(printed().empty());

    session->showView();
    session->destroyController();
    EXPECT_EQ(session->controller(), nullptr);
    EXPECT_EQ(session->viewHeight(), 0);
    EXPECT_EQ(session->launchURLForTapLocation({ 44, 44 }), nullptr);
}

}
}

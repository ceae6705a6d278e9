#include "widget/support/phone_fixture.h"

#include <weeapp/addressbook/localized_label.h>
#include <weeapp/sys/user_defaults.h>
#include <weeapp/ui/views/button.h>

namespace kavrin::testing {
namespace {

using weeapp::sys::Value;

class ActionChooserTest : public PhoneFixture {
protected:
    void SetUp() override
    {
        PhoneFixture::SetUp();
        writeFavorites({ { "Anna Berg", 1, {}, "+49 170 1" }, { "Ben", 2, {}, "030 2" }, { std::nullopt, 3, {}, "3" } });
        writeAddressBook({ { 1, "anna@example.org" } });
        showWidget();
    }

    std::shared_ptr<weeapp::ui::AlertView> chooserFor(int tile)
    {
        alerts.clear();
        tileButtons(*controller->scrollView).at(static_cast<std::size_t>(tile))->sendActionsForControlEvents(weeapp::ui::ControlEventTouchUpInside);
        return alerts.empty() ? nullptr : alerts.back();
    }

    void askFor(bool call, bool text, bool mail)
    {
        writeSettings({ { "askForCall", Value::boolean(call) }, { "askForText", Value::boolean(text) }, { "askForMail", Value::boolean(mail) } });
    }
};

// Button titles in the first preferred language, compared whole; the address book's badges
// speak the same language as the chooser, and English where the chooser does.
TEST_F(ActionChooserTest, TitlesFollowTheFirstLanguage)
{
    askFor(true, true, true);
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases {
        { {}, { "Cancel", "Call", "Message", "E-Mail" } },
        { { "de" }, { "Abbrechen", "Anrufen", "Nachricht", "E-Mail" } },
        { { "fr", "de" }, { "Annuler", "Appelez", "Message", "E-Mail" } },
        { { "nl" }, { "Annuleren", "Bel", "Message", "E-Mail" } },
        { { "es" }, { "Abortar", "Llamar", "Mensaje", "E-Mail" } },
        { { "de-AT" }, { "Cancel", "Call", "Message", "E-Mail" } },
        { { "DE" }, { "Cancel", "Call", "Message", "E-Mail" } },
        { { "it", "de" }, { "Cancel", "Call", "Message", "E-Mail" } },
    };
    for (const auto& [languages, titles] : cases) {
        weeapp::sys::UserDefaults::standardUserDefaults().removeAllObjects();
        if (!languages.empty())
            setLanguages(languages);
        const auto chooser = chooserFor(0);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->buttonTitles(), titles);
        EXPECT_EQ(chooser->title(), "Anna Berg");
        EXPECT_EQ(chooser->message(), std::nullopt);
        EXPECT_EQ(chooser->cancelButtonIndex(), 0);
        EXPECT_EQ(titles.at(1) == "Call", weeapp::ab::ABAddressBookCopyLocalizedLabel("_$!<Mobile>!$_") == "mobile");
    }
}

// Every combination of the ask-flags, for a contact with an address and one without: the
// buttons present keep the order call, message, e-mail, and each index runs its own action.
TEST_F(ActionChooserTest, EveryFlagCombination)
{
    for (int flags = 1; flags < 8; ++flags) {
        const bool call = flags & 1, text = flags & 2, mail = flags & 4;
        askFor(call, text, mail);
        for (const int tile : { 0, 1 }) {
            SCOPED_TRACE("flags " + std::to_string(flags) + ", tile " + std::to_string(tile));
            std::vector<std::string> titles { "Cancel" };
            std::vector<std::string> urls;
            const std::string number = tile == 0 ? "+491701" : "0302";
            if (call) {
                titles.push_back("Call");
                urls.push_back("tel:" + number);
            }
            if (text) {
                titles.push_back("Message");
                urls.push_back("sms:" + number);
            }
            if (mail && tile == 0) {
                titles.push_back("E-Mail");
                urls.push_back("mailto:anna@example.org");
            }
            ASSERT_NE(chooserFor(tile), nullptr);
            EXPECT_EQ(alerts.back()->buttonTitles(), titles);
            for (std::size_t index = 0; index < titles.size(); ++index) {
                openedURLs.clear();
                chooserFor(tile)->dismissWithClickedButtonIndex(static_cast<int>(index));
                EXPECT_EQ(openedURLs, index == 0 ? std::vector<std::string> {} : std::vector<std::string> { urls[index - 1] });
            }
        }
    }
}

// Presses map onto call, message, e-mail in that order; cancel does nothing.
TEST_F(ActionChooserTest, PressesRunTheChosenAction)
{
    askFor(true, true, true);
    for (int index : { 0, 1, 2, 3 })
        chooserFor(0)->dismissWithClickedButtonIndex(index);
    EXPECT_EQ(openedURLs, (std::vector<std::string> { "tel:+491701", "sms:+491701", "mailto:anna@example.org" }));

    // Without an address there is no e-mail button; text and mail set: index 1 texts.
    openedURLs.clear();
    askFor(false, true, true);
    auto chooser = chooserFor(1);
    EXPECT_EQ(chooser->buttonTitles(), (std::vector<std::string> { "Cancel", "Message" }));
    chooser->dismissWithClickedButtonIndex(1);
    EXPECT_EQ(openedURLs, std::vector<std::string> { "sms:0302" });

    askFor(false, false, true);
    EXPECT_EQ(chooserFor(1)->buttonTitles(), std::vector<std::string> { "Cancel" });
    const auto untitled = chooserFor(2);
    EXPECT_EQ(untitled->title(), std::nullopt);
    EXPECT_EQ(untitled->tag(), 2);
}

// The press reads the flags anew; a press beyond the actions now allowed, or for a favorite
// that a rebuild removed, is ignored.
TEST_F(ActionChooserTest, PressesFollowTheFlagsAtPressTime)
{
    askFor(true, true, false);
    auto chooser = chooserFor(0);
    askFor(false, true, false);
    chooser->dismissWithClickedButtonIndex(1);
    EXPECT_EQ(openedURLs, std::vector<std::string> { "sms:+491701" });

    askFor(true, true, true);
    chooser = chooserFor(0);
    askFor(true, false, false);
    chooser->dismissWithClickedButtonIndex(2);
    chooser->dismissWithClickedButtonIndex(3);
    EXPECT_EQ(openedURLs.size(), 1u);

    askFor(true, true, true);
    chooser = chooserFor(2);
    writeFavorites({ { "Anna", 1, {}, "1" } });
    controller->buildGroundView();
    controller->buildView();
    chooser->dismissWithClickedButtonIndex(1);
    controller->alertViewClickedButtonAtIndex(chooser.get(), -3);
    controller->alertViewClickedButtonAtIndex(nullptr, 1);
    EXPECT_EQ(openedURLs.size(), 1u);
}

// A chooser left open for a favorite that a rebuild removed opens nothing, even when another
// favorite, one with an address, was tapped since: its press must not reach that favorite.
TEST_F(ActionChooserTest, StaleChooserOfARemovedFavoriteOpensNothing)
{
    askFor(true, true, true);
    const auto stale = chooserFor(1);
    ASSERT_NE(chooserFor(0), nullptr);
    writeFavorites({ { "Anna Berg", 1, {}, "+49 170 1" } });
    controller->buildGroundView();
    controller->buildView();
    openedURLs.clear();
    for (const int index : { 1, 2, 3 })
        controller->alertViewClickedButtonAtIndex(stale.get(), index);
    EXPECT_EQ(openedURLs, std::vector<std::string> {});
}

}
}

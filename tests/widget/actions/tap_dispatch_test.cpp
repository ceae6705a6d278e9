#include "widget/support/phone_fixture.h"

#include "support/property_list_shapes.h"
#include <weeapp/sys/files/phone_paths.h>

#include <weeapp/ui/views/button.h>

#include <fstream>

namespace kavrin::testing {
namespace {

using weeapp::sys::Value;

class TapDispatchTest : public PhoneFixture {
protected:
    void SetUp() override
    {
        PhoneFixture::SetUp();
        writeFavorites({ { "Anna", 1, "_$!<Mobile>!$_", "+49 170 123 45" }, { "Ben", 2, "_$!<Home>!$_", "(030) 12-34 56" },
            { "Cem", 3, "iPhone",
                "0171\xC2\xA0"
                "555" } });
        writeAddressBook({ { 1, "anna@example.org" } });
        showWidget();
    }

    void tap(int tile) { tileButtons(*controller->scrollView).at(static_cast<std::size_t>(tile))->sendActionsForControlEvents(weeapp::ui::ControlEventTouchUpInside); }
};

// Without ask-flags the standard action runs at once: 2 texts, 3 mails, anything else calls.
TEST_F(TapDispatchTest, StandardActions)
{
    tap(0);
    EXPECT_EQ(controller->selectedContact, 0);
    tap(1);
    EXPECT_EQ(controller->selectedContact, 1);
    writeSettings({ { "standardAction", Value::integer(2) } });
    tap(1);
    writeSettings({ { "standardAction", Value::integer(3) } });
    tap(0);
    tap(1); // no address: nothing opens
    writeSettings({ { "standardAction", Value::integer(4) } });
    tap(0);
    writeSettings({ { "standardAction", Value::integer(1) } });
    tap(2); // the no-break space stays and makes the text no URL
    EXPECT_EQ(openedURLs, (std::vector<std::string> { "tel:+4917012345", "tel:(030)12-3456", "sms:(030)12-3456", "mailto:anna@example.org", "tel:+4917012345" }));
    EXPECT_EQ(controller->selectedContact, 2);
    EXPECT_TRUE(alerts.empty());
}

// Numbers past 32 bits keep their low 32 bits, as the phone converts them: a standard action of
// 2^32+3 mails, 2^64-1 (-1) calls, and an ABUid of 2^32+1 finds record 1's address.
class WideNumbersTest : public PhoneFixture { };

TEST_F(WideNumbersTest, KeepTheirLow32Bits)
{
    writeFavorites({ { "Anna", (1LL << 32) + 1, "_$!<Mobile>!$_", "+4917012345" } });
    writeAddressBook({ { 1, "anna@example.org" } });
    showWidget();
    const auto tap = [&] { tileButtons(*controller->scrollView).at(0)->sendActionsForControlEvents(weeapp::ui::ControlEventTouchUpInside); };
    setSetting("standardAction", Value::integer((1LL << 32) + 3));
    tap();
    setSetting("standardAction", Value::unsignedInteger(18446744073709551615ULL));
    tap();
    setSetting("standardAction", Value::integer((1LL << 32) + 2));
    tap();
    EXPECT_EQ(openedURLs, (std::vector<std::string> { "mailto:anna@example.org", "tel:+4917012345", "sms:+4917012345" }));
}

// Any ask-flag shows the chooser instead, whatever the standard action says.
TEST_F(TapDispatchTest, AskFlagShowsTheChooser)
{
    writeSettings({ { "standardAction", Value::integer(2) }, { "askForText", Value::boolean(true) } });
    tap(1);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_TRUE(openedURLs.empty());
    EXPECT_EQ(alerts[0]->tag(), 1);
}

// A tag that is not a favorite of this build is ignored.
TEST_F(TapDispatchTest, ForeignTagsAreIgnored)
{
    auto stray = weeapp::ui::Button::buttonWithType(0);
    // Three favorites: tag 3 is the first past the last.
    for (const int tag : { 7, 3, -1 }) {
        stray->setTag(tag);
        controller->doStart(stray.get());
    }
    controller->doStart(nullptr);
    EXPECT_TRUE(openedURLs.empty());
    EXPECT_EQ(controller->selectedContact, 0);
}

// The URL texts: only U+0020 goes from numbers, addresses stay as they are, an empty number still
// opens the bare scheme, an empty address nothing, and illegal text no URL at all.
TEST_F(TapDispatchTest, UrlTexts)
{
    const std::string spaced = "+49  170 1";
    const std::string empty;
    const std::string spacedMail = "a b@example.org";
    const std::string mail = "a.b+c@example.org";
    controller->doCall(&spaced);
    controller->doMessage(&spaced);
    controller->doCall(&empty);
    controller->doMail(&empty);
    controller->doMail(nullptr);
    controller->doCall(nullptr);
    controller->doMail(&spacedMail);
    controller->doMail(&mail);
    controller->visitWebSite(nullptr);
    controller->visitFB(nullptr);
    ASSERT_EQ(openedURLs.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(openedURLs.begin(), openedURLs.begin() + 4),
        (std::vector<std::string> { "tel:+491701", "sms:+491701", "tel:", "mailto:a.b+c@example.org" }));
    EXPECT_EQ(openedURLs[4].rfind("https://", 0), 0u);
    EXPECT_NE(openedURLs[4], openedURLs[5]);
}

// Only U+0020 is cleaned away: brackets and hyphens stay, and a no-break space or a tab stays
// too, which leaves text that is no URL, so nothing opens.
TEST_F(TapDispatchTest, CleaningRemovesOnlyTheSpace)
{
    const std::string bracketed = "(030) 123-45 67";
    const std::string noBreakSpace = "030\u00a0123";
    const std::string tab = "030\t123";
    controller->doMessage(&bracketed);
    controller->doCall(&noBreakSpace);
    controller->doCall(&tab);
    controller->doMessage(&tab);
    EXPECT_EQ(openedURLs, std::vector<std::string> { "sms:(030)123-4567" });
}

}
}

namespace kavrin::testing {
namespace {

using NulTextTest = PhoneFixture;

// A favorite whose number, and an address row, hold a NUL keep it whole: it makes them no URL
// text, so nothing opens rather than a shorter number or address. Binary numbers in 8-bit and in
// UTF-16 texts alike; an XML list with a NUL is unreadable and shows no tiles.
TEST_F(NulTextTest, NumbersAndAddressesWithANulOpenNothing)
{
    const std::string number(
        "+49\0"
        "170 1234",
        12); // "\0170" would be one octal escape
    writeAddressBook({ { 1, std::string("anna\0@evil.example", 18) } });
    for (bool utf16 : { false, true }) {
        kavrin::testing::BinaryPropertyListBuilder builder;
        const std::uint64_t keys[] = { builder.ascii("Name"), builder.ascii("ABUid"), builder.ascii("Value") };
        const std::uint64_t values[] = { builder.ascii("Anna"), builder.smallInteger(1),
            utf16 ? builder.utf16(std::u16string(number.begin(), number.end())) : builder.ascii(number) };
        const std::uint64_t entry = builder.dictionary({ keys[0], keys[1], keys[2] }, { values[0], values[1], values[2] });
        std::ofstream(realPath(weeapp::sys::kFavoritesPath), std::ios::trunc) << builder.finish(builder.array({ entry }));

        controller = std::make_unique<KavrinController>();
        showWidget();
        ASSERT_EQ(weeapp::sys::description(weeapp::sys::objectForKey(weeapp::sys::objectAtIndex(controller->rawElementsArray, 0), "Value")), number);
        EXPECT_EQ(controller->getMailFromDB(1), std::string("anna\0@evil.example", 18));
        for (int action : { 1, 2, 3 }) {
            writeSettings({ { "standardAction", Value::integer(action) } });
            tileButtons(*controller->scrollView).at(0)->sendActionsForControlEvents(weeapp::ui::ControlEventTouchUpInside);
        }
        EXPECT_TRUE(openedURLs.empty()) << utf16;
    }

    std::ofstream(realPath(weeapp::sys::kFavoritesPath), std::ios::trunc) << "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><dict><key>Value</key><string>"
                                                                          << number << "</string></dict></array></plist>";
    controller = std::make_unique<KavrinController>();
    showWidget();
    EXPECT_TRUE(tileButtons(*controller->scrollView).empty());
}

}
}

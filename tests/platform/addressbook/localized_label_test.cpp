#include <weeapp/addressbook/localized_label.h>
#include <weeapp/sys/user_defaults.h>

#include <array>

#include <gtest/gtest.h>

using weeapp::ab::ABAddressBookCopyLocalizedLabel;

// Stored labels show as the address book's words; custom labels and "iPhone" stay as they are.
TEST(LocalizedLabel, StoredAndCustomLabels)
{
    const std::pair<const char*, const char*> cases[] = {
        { "_$!<Mobile>!$_", "mobile" },
        { "_$!<Home>!$_", "home" },
        { "_$!<Work>!$_", "work" },
        { "_$!<Main>!$_", "main" },
        { "_$!<HomeFAX>!$_", "home fax" },
        { "_$!<WorkFAX>!$_", "work fax" },
        { "_$!<OtherFAX>!$_", "other fax" },
        { "_$!<Pager>!$_", "pager" },
        { "_$!<Other>!$_", "other" },
        { "_$!<iPhone>!$_", "iPhone" },
        { "_$!<CarRadioLink>!$_", "car radio link" },
        // Words start at a capital after a small letter, and at the last capital of a run that a
        // small letter follows; only ASCII letters count, and A to Z become a to z.
        { "_$!<WorkFAXLine>!$_", "work fax line" },
        { "_$!<HomeTTY>!$_", "home tty" },
        { "_$!<aB>!$_", "a b" },
        { "_$!<AzZa>!$_", "az za" },
        { "_$!<ZaBa>!$_", "za ba" },
        { "_$!<X@Y[Z`W{V>!$_", "x@y[z`w{v" },
        { "_$!<Fax2Home>!$_", "fax2home" },
        { "iPhone", "iPhone" },
        { "Boat phone", "Boat phone" },
        { "", "" },
        { "_$!<>!$_", "_$!<>!$_" },
        { "_$!<Mobile>", "_$!<Mobile>" },
        { "(null)", "(null)" },
    };
    for (const auto& [stored, shown] : cases)
        EXPECT_EQ(ABAddressBookCopyLocalizedLabel(stored), shown) << stored;
}

namespace {

// Sets the user's preferred languages for one test and puts the registered ones back after it.
class PreferredLanguage {
public:
    explicit PreferredLanguage(const char* code)
    {
        weeapp::sys::UserDefaults::standardUserDefaults().setObjectForKey(weeapp::sys::Value::array({ weeapp::sys::Value::string(code) }), weeapp::sys::kAppleLanguagesKey);
    }
    ~PreferredLanguage() { weeapp::sys::UserDefaults::standardUserDefaults().setObjectForKey(nullptr, weeapp::sys::kAppleLanguagesKey); }
};

}

// The common labels read in the first preferred language; the rest, and other languages, in English.
TEST(LocalizedLabel, TableInEveryLanguage)
{
    const char* stored[] = { "_$!<Mobile>!$_", "_$!<Home>!$_", "_$!<Work>!$_", "_$!<Main>!$_",
        "_$!<HomeFAX>!$_", "_$!<WorkFAX>!$_", "_$!<Pager>!$_", "_$!<Other>!$_" };
    const std::pair<const char*, std::array<const char*, 8>> tables[] = {
        { "en", { "mobile", "home", "work", "main", "home fax", "work fax", "pager", "other" } },
        { "de", { "Mobil", "privat", "geschäftlich", "Hauptnummer", "Fax privat", "Fax geschäftlich", "Pager", "andere" } },
        { "fr", { "portable", "domicile", "travail", "principal", "fax domicile", "fax travail", "bip", "autre" } },
        { "nl", { "mobiel", "thuis", "werk", "hoofdnummer", "fax thuis", "fax werk", "pieper", "overig" } },
        { "es", { "móvil", "casa", "trabajo", "principal", "fax casa", "fax trabajo", "busca", "otro" } },
        // Matched whole, as the chooser matches: a regional or unknown code reads English.
        { "de-AT", { "mobile", "home", "work", "main", "home fax", "work fax", "pager", "other" } },
        { "ja", { "mobile", "home", "work", "main", "home fax", "work fax", "pager", "other" } },
    };
    for (const auto& [language, shown] : tables) {
        PreferredLanguage preferred(language);
        for (std::size_t i = 0; i < shown.size(); ++i)
            EXPECT_EQ(ABAddressBookCopyLocalizedLabel(stored[i]), shown[i]) << language << " " << stored[i];
        EXPECT_EQ(ABAddressBookCopyLocalizedLabel("_$!<School>!$_"), "school") << language;
        EXPECT_EQ(ABAddressBookCopyLocalizedLabel("Boot"), "Boot") << language;
        EXPECT_EQ(ABAddressBookCopyLocalizedLabel("_$!<iPhone>!$_"), "iPhone") << language;
    }
    // No preferred language at all reads English.
    weeapp::sys::UserDefaults::standardUserDefaults().setObjectForKey(weeapp::sys::Value::array({}), weeapp::sys::kAppleLanguagesKey);
    EXPECT_EQ(ABAddressBookCopyLocalizedLabel("_$!<Mobile>!$_"), "mobile");
    weeapp::sys::UserDefaults::standardUserDefaults().setObjectForKey(nullptr, weeapp::sys::kAppleLanguagesKey);
}

// The chooser and the address book read the same language: the first preferred one, whole.
TEST(PreferredLanguage, FirstTextOfAppleLanguages)
{
    auto& defaults = weeapp::sys::UserDefaults::standardUserDefaults();
    EXPECT_EQ(weeapp::sys::preferredLanguage(), "en");
    defaults.setObjectForKey(weeapp::sys::Value::array({ weeapp::sys::Value::string("fr"), weeapp::sys::Value::string("de") }), weeapp::sys::kAppleLanguagesKey);
    EXPECT_EQ(weeapp::sys::preferredLanguage(), "fr");
    defaults.setObjectForKey(weeapp::sys::Value::string("de"), weeapp::sys::kAppleLanguagesKey);
    EXPECT_EQ(weeapp::sys::preferredLanguage(), "");
    defaults.setObjectForKey(weeapp::sys::Value::array({ weeapp::sys::Value::integer(7) }), weeapp::sys::kAppleLanguagesKey);
    EXPECT_EQ(weeapp::sys::preferredLanguage(), "");
    defaults.setObjectForKey(nullptr, weeapp::sys::kAppleLanguagesKey);
}

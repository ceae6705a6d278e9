#include <weeapp/addressbook/localized_label.h>

#include <weeapp/sys/user_defaults.h>

#include <array>
#include <utility>

namespace weeapp::ab {

namespace {

constexpr std::string_view kPrefix = "_$!<";
constexpr std::string_view kSuffix = ">!$_";

// The address book's own labels, by the name inside the marker.
constexpr std::array<std::pair<std::string_view, std::string_view>, 32> kStandardLabels { {
    { "Mobile", "mobile" },
    { "iPhone", "iPhone" },
    { "Home", "home" },
    { "Work", "work" },
    { "Main", "main" },
    { "HomeFAX", "home fax" },
    { "WorkFAX", "work fax" },
    { "OtherFAX", "other fax" },
    { "Pager", "pager" },
    { "Other", "other" },
    { "HomePage", "home page" },
    { "School", "school" },
    { "Car", "car" },
    { "Radio", "radio" },
    { "Company", "company" },
    { "CompanyMain", "company main" },
    { "Assistant", "assistant" },
    { "AssistantPhone", "assistant" },
    { "Callback", "callback" },
    { "Telex", "telex" },
    { "Anniversary", "anniversary" },
    { "Birthday", "birthday" },
    { "Father", "father" },
    { "Mother", "mother" },
    { "Parent", "parent" },
    { "Brother", "brother" },
    { "Sister", "sister" },
    { "Child", "child" },
    { "Friend", "friend" },
    { "Spouse", "spouse" },
    { "Partner", "partner" },
    { "Manager", "manager" },
} };

struct Translation {
    std::string_view name;
    std::string_view shown;
};

struct LanguageTable {
    std::string_view language;
    std::array<Translation, 8> labels;
};

// The labels people give numbers most, in the languages the widget speaks; every other label
// shows in English.
constexpr std::array<LanguageTable, 4> kTranslatedLabels { {
    { "de", { { { "Mobile", "Mobil" }, { "Home", "privat" }, { "Work", "geschäftlich" }, { "Main", "Hauptnummer" }, { "HomeFAX", "Fax privat" }, { "WorkFAX", "Fax geschäftlich" }, { "Pager", "Pager" }, { "Other", "andere" } } } },
    { "fr", { { { "Mobile", "portable" }, { "Home", "domicile" }, { "Work", "travail" }, { "Main", "principal" }, { "HomeFAX", "fax domicile" }, { "WorkFAX", "fax travail" }, { "Pager", "bip" }, { "Other", "autre" } } } },
    { "nl", { { { "Mobile", "mobiel" }, { "Home", "thuis" }, { "Work", "werk" }, { "Main", "hoofdnummer" }, { "HomeFAX", "fax thuis" }, { "WorkFAX", "fax werk" }, { "Pager", "pieper" }, { "Other", "overig" } } } },
    { "es", { { { "Mobile", "móvil" }, { "Home", "casa" }, { "Work", "trabajo" }, { "Main", "principal" }, { "HomeFAX", "fax casa" }, { "WorkFAX", "fax trabajo" }, { "Pager", "busca" }, { "Other", "otro" } } } },
} };

const Translation* translationFor(std::string_view name, const std::string& language)
{
    for (const LanguageTable& table : kTranslatedLabels) {
        if (table.language != language)
            continue;
        for (const Translation& translation : table.labels) {
            if (translation.name == name)
                return &translation;
        }
    }
    return nullptr;
}

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }

char toLower(char c)
{
    return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

// A marked name the table does not know, spelt as words: "HomeFAX" → "home fax",
// "OtherSatellite" → "other satellite".
std::string wordsOf(std::string_view name)
{
    std::string text;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        bool startsWord = i > 0 && isUpper(c)
            && (isLower(name[i - 1]) || (i + 1 < name.size() && isLower(name[i + 1]) && isUpper(name[i - 1])));
        if (startsWord && !text.empty() && text.back() != ' ')
            text += ' ';
        text += c == '_' ? ' ' : toLower(c);
    }
    return text;
}

}

std::string ABAddressBookCopyLocalizedLabel(std::string_view storedLabel)
{
    if (storedLabel.size() <= kPrefix.size() + kSuffix.size() || !storedLabel.starts_with(kPrefix) || !storedLabel.ends_with(kSuffix))
        return std::string(storedLabel);
    std::string_view name = storedLabel.substr(kPrefix.size(), storedLabel.size() - kPrefix.size() - kSuffix.size());
    if (const Translation* translation = translationFor(name, sys::preferredLanguage()))
        return std::string(translation->shown);
    for (const auto& [stored, shown] : kStandardLabels) {
        if (stored == name)
            return std::string(shown);
    }
    return wordsOf(name);
}

}

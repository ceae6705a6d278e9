#include "addressbook/localized_label.h"

#include <array>
#include <utility>

namespace ab {

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
    for (const auto& [stored, shown] : kStandardLabels) {
        if (stored == name)
            return std::string(shown);
    }
    return wordsOf(name);
}

}

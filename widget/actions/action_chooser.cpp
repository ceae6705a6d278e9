#include "controller/kavrin_controller.h"

#include "kavrin/published_names.h"
#include "sources/favorites_list.h"
#include "sys/translations.h"
#include "sys/user_defaults.h"

#include <array>

namespace kavrin {

namespace {

struct ChooserTitles {
    const char* language;
    const char* cancel;
    const char* call;
    const char* message;
};

constexpr ChooserTitles kEnglishTitles { "", "Cancel", "Call", "Message" };
constexpr std::array<ChooserTitles, 4> kTranslatedTitles { {
    { "de", "Abbrechen", "Anrufen", "Nachricht" },
    { "fr", "Annuler", "Appelez", "Message" },
    { "nl", "Annuleren", "Bel", "Message" },
    { "es", "Abortar", "Llamar", "Mensaje" },
} };
constexpr const char* kMailTitle = "E-Mail";

constexpr bool titlesFollowTheLanguages()
{
    for (std::size_t i = 0; i < kTranslatedTitles.size(); ++i)
        if (kTranslatedTitles[i].language != kChooserLanguages[i])
            return false;
    return kTranslatedTitles.size() == kChooserLanguages.size();
}
static_assert(titlesFollowTheLanguages(), "a translation for each language the chooser speaks, in its order");

// By the first preferred language, matched whole as the platform's translations are.
const ChooserTitles& titlesForPreferredLanguage()
{
    return sys::translationFor(kTranslatedTitles, kEnglishTitles, sys::preferredLanguage());
}

enum class ChosenAction { Call, Message, Mail };

}

void KavrinController::showActionChooser(std::int32_t tag, bool askForCall, bool askForText, bool askForMail, const std::string& mail)
{
    const ChooserTitles& titles = titlesForPreferredLanguage();
    const FavoriteEntry entry { sys::objectAtIndex(rawElementsArray, static_cast<std::size_t>(tag)) };
    const auto chooser = ui::AlertView::create(entry.title(), std::nullopt, this, std::string(titles.cancel));
    if (askForCall)
        chooser->addButtonWithTitle(titles.call);
    if (askForText)
        chooser->addButtonWithTitle(titles.message);
    if (!mail.empty() && askForMail)
        chooser->addButtonWithTitle(kMailTitle);
    chooser->setTag(tag);
    chooser->show();
}

// A press maps by position onto the actions the flags allow now, which may differ from those the
// chooser was built with; a press beyond that list, or for a favorite that a rebuild has removed,
// is ignored.
void KavrinController::alertViewClickedButtonAtIndex(ui::AlertView* alertView, int buttonIndex)
{
    if (buttonIndex == 0 || !alertView)
        return;
    const bool askForCall = checkSetting("askForCall");
    const bool askForText = checkSetting("askForText");
    const bool askForMail = checkSetting("askForMail");

    const std::size_t favorites = sys::count(rawElementsArray);
    const int tag = alertView->tag();
    if (tag < 0 || static_cast<std::size_t>(tag) >= favorites)
        return;
    const std::optional<std::string> number = FavoriteEntry { sys::objectAtIndex(rawElementsArray, static_cast<std::size_t>(tag)) }.number();

    std::vector<ChosenAction> allowed;
    if (askForCall)
        allowed.push_back(ChosenAction::Call);
    if (askForText)
        allowed.push_back(ChosenAction::Message);
    if (askForMail)
        allowed.push_back(ChosenAction::Mail);
    if (buttonIndex < 1 || static_cast<std::size_t>(buttonIndex - 1) >= allowed.size())
        return;

    switch (allowed[static_cast<std::size_t>(buttonIndex - 1)]) {
    case ChosenAction::Call:
        doCall(number ? &*number : nullptr);
        break;
    case ChosenAction::Message:
        doMessage(number ? &*number : nullptr);
        break;
    case ChosenAction::Mail: {
        if (selectedContact < 0 || static_cast<std::size_t>(selectedContact) >= favorites)
            return;
        const std::string mail = getMailFromDB(FavoriteEntry { sys::objectAtIndex(rawElementsArray, static_cast<std::size_t>(selectedContact)) }.recordId());
        doMail(&mail);
        break;
    }
    }
}

}

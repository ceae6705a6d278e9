#include "controller/kavrin_controller.h"

#include "controller/widget_languages.h"
#include "kavrin/published_names.h"
#include "sources/favorites_list.h"

#include <array>
#include <cassert>

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

static_assert(followsTheWidgetLanguages(kTranslatedTitles), "a translation for each language the chooser speaks, in its order");

}

void KavrinController::showActionChooser(std::int32_t tag, const TapDecision& decision, const std::string& mail)
{
    // doStart shows the chooser only for a favorite of this build and with an ask-flag set.
    assert(decision.showsChooser() && tag >= 0 && static_cast<std::size_t>(tag) < weeapp::sys::count(rawElementsArray));
    const ChooserTitles& titles = translationForPreferredLanguage(kTranslatedTitles, kEnglishTitles);
    const FavoriteEntry entry { weeapp::sys::objectAtIndex(rawElementsArray, static_cast<std::size_t>(tag)) };
    const auto chooser = weeapp::ui::AlertView::create(entry.title(), std::nullopt, this, std::string(titles.cancel));
    // The e-mail button comes last, so that leaving it out for a contact without an address
    // moves no other button.
    for (TapDecision::Action action : decision.chooserActions()) {
        switch (action) {
        case TapDecision::Action::Call:
            chooser->addButtonWithTitle(titles.call);
            break;
        case TapDecision::Action::Message:
            chooser->addButtonWithTitle(titles.message);
            break;
        case TapDecision::Action::Mail:
            if (!mail.empty())
                chooser->addButtonWithTitle(kMailTitle);
            break;
        }
    }
    chooser->setTag(tag);
    chooser->show();
}

// A press maps by position onto the actions the flags allow now, which may differ from those the
// chooser was built with; a press beyond that list, or for a favorite that a rebuild has removed,
// is ignored.
void KavrinController::alertViewClickedButtonAtIndex(weeapp::ui::AlertView* alertView, int buttonIndex)
{
    if (buttonIndex == 0 || !alertView)
        return;
    const std::vector<TapDecision::Action> allowed = readAskFlags().chooserActions();

    const std::size_t favorites = weeapp::sys::count(rawElementsArray);
    const int tag = alertView->tag();
    if (tag < 0 || static_cast<std::size_t>(tag) >= favorites)
        return;
    const std::optional<std::string> number = FavoriteEntry { weeapp::sys::objectAtIndex(rawElementsArray, static_cast<std::size_t>(tag)) }.number();
    if (buttonIndex < 1 || static_cast<std::size_t>(buttonIndex - 1) >= allowed.size())
        return;

    switch (allowed[static_cast<std::size_t>(buttonIndex - 1)]) {
    case TapDecision::Action::Call:
        doCall(number ? &*number : nullptr);
        break;
    case TapDecision::Action::Message:
        doMessage(number ? &*number : nullptr);
        break;
    case TapDecision::Action::Mail: {
        if (selectedContact < 0 || static_cast<std::size_t>(selectedContact) >= favorites)
            return;
        const std::string mail = getMailFromDB(FavoriteEntry { weeapp::sys::objectAtIndex(rawElementsArray, static_cast<std::size_t>(selectedContact)) }.recordId());
        doMail(&mail);
        break;
    }
    }
}

}

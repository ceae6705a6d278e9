#include "controller/kavrin_controller.h"

#include "sources/favorites_list.h"

namespace kavrin {

// A tile's touch-up-inside: the chooser when any ask-flag is set, otherwise the standard action
// (2 a message, 3 an e-mail, anything else a call).
void KavrinController::doStart(weeapp::ui::Control* sender)
{
    const int tag = sender ? sender->tag() : -1;
    // Tags come from this build's tiles; anything else is not a favorite and is ignored.
    if (tag < 0 || static_cast<std::size_t>(tag) >= weeapp::sys::count(rawElementsArray))
        return;
    selectedContact = tag;

    const TapDecision decision = decideTap();
    const FavoriteEntry entry { weeapp::sys::objectAtIndex(rawElementsArray, static_cast<std::size_t>(tag)) };
    const std::string mail = getMailFromDB(entry.recordId());
    const std::optional<std::string> number = entry.number();

    if (decision.showsChooser()) {
        showActionChooser(tag, decision, mail);
        return;
    }
    switch (decision.standardAction) {
    case TapDecision::Action::Message:
        doMessage(number ? &*number : nullptr);
        break;
    case TapDecision::Action::Mail:
        doMail(&mail);
        break;
    case TapDecision::Action::Call:
        doCall(number ? &*number : nullptr);
        break;
    }
}

}

#pragma once

#include <vector>

namespace kavrin {

// What a tap on a tile does, as the settings say at one moment. The tap itself, the chooser's
// press and the screen reader's hint all take it from here, so that they cannot part.
//
//   ask-flags          a tap                 the chooser's buttons after Cancel
//   any set            shows the chooser     call, message, e-mail: those whose flag is set
//   none set           the standard action:  2 a message, 3 an e-mail, anything else a call
struct TapDecision {
    enum class Action { Call,
        Message,
        Mail };

    bool askForCall { false };
    bool askForText { false };
    bool askForMail { false };
    Action standardAction { Action::Call };

    bool showsChooser() const { return askForCall || askForText || askForMail; }
    // The chooser's actions in button order, Cancel not counted.
    std::vector<Action> chooserActions() const
    {
        std::vector<Action> actions;
        if (askForCall)
            actions.push_back(Action::Call);
        if (askForText)
            actions.push_back(Action::Message);
        if (askForMail)
            actions.push_back(Action::Mail);
        return actions;
    }
};

}

#include "controller/kavrin_controller.h"

namespace kavrin {

namespace {

constexpr std::int32_t kStandardActionMessage = 2;
constexpr std::int32_t kStandardActionMail = 3;

}

TapDecision KavrinController::readAskFlags()
{
    TapDecision decision;
    decision.askForCall = checkSetting("askForCall");
    decision.askForText = checkSetting("askForText");
    decision.askForMail = checkSetting("askForMail");
    return decision;
}

TapDecision KavrinController::decideTap()
{
    TapDecision decision = readAskFlags();
    // The standard action is looked up only when it decides, as a tap reads it.
    if (decision.showsChooser())
        return decision;
    switch (getStandardAction()) {
    case kStandardActionMessage:
        decision.standardAction = TapDecision::Action::Message;
        break;
    case kStandardActionMail:
        decision.standardAction = TapDecision::Action::Mail;
        break;
    default:
        decision.standardAction = TapDecision::Action::Call;
        break;
    }
    return decision;
}

}

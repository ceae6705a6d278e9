#include "controller/kavrin_controller.h"
#include "settings/settings_reader.h"

namespace kavrin {

sys::BOOL KavrinController::checkSetting(const std::string& key)
{
    return sys::boolValue(lookUpSetting(key)) ? sys::YES : sys::NO;
}

std::int32_t KavrinController::getStandardAction()
{
    return sys::intValue(lookUpSetting("standardAction"));
}

// The widget never creates, copies or writes the settings file; its writer is another program.
void KavrinController::createEditableCopyOfSettingsIfNeeded()
{
}

}

#include "controller/kavrin_controller.h"
#include "settings/settings_reader.h"

namespace kavrin {

weeapp::sys::BOOL KavrinController::checkSetting(const std::string& key)
{
    return weeapp::sys::boolValue(lookUpSetting(key)) ? weeapp::sys::YES : weeapp::sys::NO;
}

std::int32_t KavrinController::getStandardAction()
{
    return weeapp::sys::intValue(lookUpSetting("standardAction"));
}

// The widget never creates, copies or writes the settings file; its writer is another program.
void KavrinController::createEditableCopyOfSettingsIfNeeded()
{
}

}

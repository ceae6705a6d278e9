#pragma once

#include "session/host_session.h"
#include <weeapp/sys/value.h>

#include <initializer_list>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace kavrin::host {

// One setting of a look, as the settings file stores it.
using LookSetting = std::pair<std::string, weeapp::sys::ValuePtr>;
using Look = std::vector<LookSetting>;

// Makes the look the only one in the settings file: every key the widget reads is removed, the
// look's keys are set, the change is posted and the widget, rebuilt, is scrolled to its start.
// False, with the reason on errors, when the settings file could not be written.
bool applyLook(HostSession&, const Look&, std::ostream& errors);

// "showLabels true, fiveIcons true": the look as a user would type it to kavrin-prefs.
std::string lookText(const Look&);

}

#pragma once

#include "base/exit_status.h"
#include "session/host_session.h"

#include <filesystem>
#include <iosfwd>

namespace kavrin::host {

// Shows the widget on the real clock until interrupted: the run loop waits on the clock and on
// the system-wide notifications, so a settings change made by another process (kavrin-prefs)
// rebuilds the widget. The picture in the output folder ("live.png") follows every change,
// and each rebuild prints "rebuilt". With watch, a change of the favorites list, the
// address-book databases or the plug-in's executable reloads the widget, as the window's --watch
// does, and prints "reloaded" (or "not reloaded: WHY" on errors). Returns interruptedStatus() once interrupted (or Failure when
// the picture cannot be written).
ExitStatus runLiveSession(HostSession&, const std::filesystem::path& outputFolder, bool watch, std::ostream& out, std::ostream& errors);

}

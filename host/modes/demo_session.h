#pragma once

#include "base/exit_status.h"
#include "session/host_session.h"
#include "session/look_settings.h"

#include <filesystem>
#include <iosfwd>

namespace kavrin::host {

// The demo: drives the widget through its looks on the manual clock and leaves a picture of
// each in the output folder (standard look, second page, five per page, the metro look in each
// pattern, the chooser in German, an animated flip and one moment of a flip), then taps a tile
// and prints the URL it opens. It changes the settings file of the phone it runs on freely, so it
// runs on a scratch copy of the user's phone. Each step's lines are flushed as it ends.
class DemoSession {
public:
    // Picture names go to out, failures to errors.
    DemoSession(HostSession&, std::filesystem::path outputFolder, std::ostream& out, std::ostream& errors);

    // Success when every picture was written, else Failure; interruptedStatus() when
    // interrupted between two steps.
    ExitStatus run();

private:
    void applySettings(const Look&);
    bool picture(const char* name);
    bool animation(const char* name, double seconds);

    HostSession& m_session;
    std::filesystem::path m_folder;
    std::ostream& m_out;
    std::ostream& m_errors;
    bool m_failed { false };
};

}

#pragma once

#include "script/script_parser.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::host {

// What a command needs that the session may lack: the controller is gone after destroy, and
// the view is on screen only after view. A script is checked against it before it runs.
class SessionState {
public:
    // An error saying why when the command cannot run now.
    Result<void> allows(const ScriptCommand&) const;
    // After a command ran.
    void ran(const ScriptCommand&);

private:
    bool m_destroyed { false };
    bool m_viewShown { false };
};

struct ScriptLine {
    int number { 0 };
    std::string text;
    ScriptCommand command;
};

// Reads the whole script and checks every line: its command and operands (set's as
// parseScriptLine checks them, settingsAsGiven for --force), and that what it needs is there
// when it comes (no view commands before view, no controller commands after destroy). The
// commands in order, or nothing after a message on err naming the first bad line (or saying that
// the script could not be read to its end). An interruption ends the reading with nothing and no
// message; interrupted() tells.
std::optional<std::vector<ScriptLine>> readCheckedScript(std::istream& script, const std::string& scriptName, std::ostream& err,
    bool settingsAsGiven = false);

// "kavrin-host: NAME:LINE: MESSAGE (in "TEXT")", the line's text escaped.
void reportBadLine(std::ostream& err, const std::string& scriptName, int line, const std::string& message, const std::string& text);

}

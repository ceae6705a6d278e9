#pragma once

#include "base/exit_status.h"
#include "reader/screen_reader.h"
#include "reader/speech_recorder.h"
#include "script/script_check.h"
#include "session/command_output.h"
#include "session/host_session.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace kavrin::host {

// Runs commands against a session. Between two commands the run loop handles what is due
// without moving time. What the commands produce goes to the session's output.
class ScriptRunner {
public:
    // settingsAsGiven: set lines store any key, their values typed from the text (--force).
    ScriptRunner(HostSession&, std::ostream& err, bool settingsAsGiven = false);

    // The plain mode: a checked script's commands run until one fails. Success when the script
    // ran to its end; Usage for a failed command, with the message naming its line;
    // interruptedStatus() when interrupted, before the next line.
    ExitStatus run(const std::vector<ScriptLine>& script, const std::string& scriptName);

    // The JSON protocol: each line is checked and answered with one object as it arrives; a
    // bad line is answered and the session goes on. Success at the end of the input, Usage when
    // reading it fails, interruptedStatus() when interrupted. The session must report to the same
    // answers.
    ExitStatus serve(std::istream& commands, JsonAnswer& answers);

    // From now on every describe that finds an element is also spoken, in the language's words.
    void speakDescriptionsWith(SpeechRecorder*, std::string language);

private:
    // The command, once the session has what it needs.
    Result<void> execute(const ScriptCommand&);
    Result<void> carryOut(const ScriptCommand&);

    HostSession& m_session;
    ScreenReader m_reader { m_session };
    SpeechRecorder* m_speaker { nullptr };
    std::string m_speechLanguage;
    std::ostream& m_err;
    bool m_settingsAsGiven;
    SessionState m_state;
};

}

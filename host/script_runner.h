#pragma once

#include "host_session.h"
#include "screen_reader.h"
#include "script_parser.h"
#include "speech_recorder.h"

#include <iosfwd>
#include <string>

namespace kavrin::host {

// Runs a script against a session line by line, as the lines arrive, printing what the
// commands print and flushing after each line so that a program at the other end of a pipe can
// talk to the host. Between two commands the run loop handles what is due without moving time.
class ScriptRunner {
public:
    // settingsAsGiven: set lines store any key, their values typed from the text (--force).
    ScriptRunner(HostSession&, std::ostream& out, std::ostream& err, bool settingsAsGiven = false);

    // 0 when the script ran to its end; 2 at the first bad line, with a message naming it, or
    // when reading the script fails; interruptedStatus() when interrupted, before the next line.
    int run(std::istream& script, const std::string& scriptName);

    // One command; an error when it cannot be carried out.
    Result<void> execute(const ScriptCommand&);

    // From now on every describe is also spoken, in the language's words.
    void speakDescriptionsWith(SpeechRecorder*, std::string language);

private:
    Result<void> needController() const;
    void describe(ui::Point);
    void printReadingOrder();

    HostSession& m_session;
    ScreenReader m_reader { m_session };
    SpeechRecorder* m_speaker { nullptr };
    std::string m_speechLanguage;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_settingsAsGiven;
};

}

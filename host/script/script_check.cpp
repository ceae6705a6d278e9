#include "script/script_check.h"
#include "base/host_errors.h"

#include "base/interruption.h"
#include "base/message_text.h"

#include <istream>
#include <ostream>

namespace kavrin::host {

Result<void> SessionState::allows(const ScriptCommand& command) const
{
    Needs needs = commandInfo(command.word).needs;
    if (needs == Needs::Nothing)
        return {};
    if (m_destroyed)
        return Error { "the controller has been destroyed" };
    if (needs == Needs::View && !m_viewShown)
        return Error { "there is no view yet; 'view' puts it on the screen" };
    return {};
}

void SessionState::ran(const ScriptCommand& command)
{
    if (command.word == CommandWord::View)
        m_viewShown = true;
    else if (command.word == CommandWord::Destroy)
        m_destroyed = true;
}

void reportBadLine(std::ostream& err, const std::string& scriptName, int line, const std::string& message, const std::string& text)
{
    kHostErrors.begin(err) << scriptName << ':' << line << ": " << message << " (in \"" << quotedScriptText(text) << "\")\n";
}

std::optional<std::vector<ScriptLine>> readCheckedScript(std::istream& script, const std::string& scriptName, std::ostream& err,
    bool settingsAsGiven)
{
    std::vector<ScriptLine> lines;
    SessionState state;
    std::string text;
    for (int number = 1; !interrupted() && std::getline(script, text); ++number) {
        ParsedLine parsed = parseScriptLine(text, settingsAsGiven);
        if (!parsed) {
            reportBadLine(err, scriptName, number, parsed.error(), text);
            return std::nullopt;
        }
        if (const std::optional<ScriptCommand>& command = *parsed) {
            if (auto allowed = state.allows(*command); !allowed) {
                reportBadLine(err, scriptName, number, allowed.error(), text);
                return std::nullopt;
            }
            state.ran(*command);
            lines.push_back({ number, std::move(text), *command });
        }
    }
    if (interrupted())
        return std::nullopt;
    // A read error ends the loop as the end of the script would; it must not pass for one.
    if (script.bad()) {
        kHostErrors.begin(err) << scriptName << ": cannot read the script any further\n";
        return std::nullopt;
    }
    return lines;
}

}

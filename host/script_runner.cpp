#include "script_runner.h"

#include "sys/format.h"
#include "ui/view_dump.h"

#include <cstdio>
#include <istream>
#include <ostream>

namespace kavrin::host {

ScriptRunner::ScriptRunner(HostSession& session, std::ostream& out, std::ostream& err)
    : m_session(session)
    , m_out(out)
    , m_err(err)
{
}

int ScriptRunner::run(std::istream& script, const std::string& scriptName)
{
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        ParsedLine parsed = parseScriptLine(line);
        std::optional<std::string> failure;
        if (const auto* error = std::get_if<ScriptError>(&parsed))
            failure = error->message;
        else if (const auto* command = std::get_if<ScriptCommand>(&parsed)) {
            // What arrived while the host waited for this line (another process's settings
            // change) is handled before the line runs, and what the line set off after it.
            m_session.idle();
            failure = execute(*command);
            if (!failure)
                m_session.idle();
        }
        m_out.flush();
        if (failure) {
            m_err << "kavrin-host: " << scriptName << ':' << number << ": " << *failure << " (in \"" << line << "\")\n";
            m_err.flush();
            return 2;
        }
    }
    // A read error ends the loop as the end of the script would; it must not pass for one.
    if (script.bad()) {
        m_err << "kavrin-host: " << scriptName << ": cannot read the script any further\n";
        m_err.flush();
        return 2;
    }
    return 0;
}

std::optional<std::string> ScriptRunner::needController() const
{
    if (!m_session.controller())
        return std::string("the controller has been destroyed");
    return std::nullopt;
}

std::optional<std::string> ScriptRunner::execute(const ScriptCommand& command)
{
    std::string error;
    auto point = [&] { return ui::Point { static_cast<float>(command.x), static_cast<float>(command.y) }; };
    switch (command.word) {
    case CommandWord::View:
        if (auto missing = needController())
            return missing;
        m_session.showView();
        return std::nullopt;
    case CommandWord::Height: {
        if (auto missing = needController())
            return missing;
        char text[64];
        std::snprintf(text, sizeof text, "height %.1f", static_cast<double>(m_session.controller()->viewHeight()));
        m_out << text << '\n';
        return std::nullopt;
    }
    case CommandWord::Appear:
        if (auto missing = needController())
            return missing;
        m_session.controller()->viewDidAppear();
        return std::nullopt;
    case CommandWord::Disappear:
        if (auto missing = needController())
            return missing;
        m_session.controller()->viewDidDisappear();
        return std::nullopt;
    case CommandWord::Wait:
        m_session.advance(command.x);
        return std::nullopt;
    case CommandWord::Tap:
        m_session.tap(point());
        return std::nullopt;
    case CommandWord::TapLocation: {
        if (auto missing = needController())
            return missing;
        sys::URLPtr url = m_session.controller()->launchURLForTapLocation(point());
        m_out << "launch " << (url ? url->absoluteString() : std::string("none")) << '\n';
        return std::nullopt;
    }
    case CommandWord::Scroll:
        if (!m_session.scrollTo(static_cast<float>(command.x)))
            return std::string("there is no scroll view on screen");
        return std::nullopt;
    case CommandWord::Press:
        if (!m_session.press(command.index, error))
            return error;
        return std::nullopt;
    case CommandWord::Set:
        if (!m_session.setSetting(command.key, command.value, error))
            return error;
        return std::nullopt;
    case CommandWord::Unset:
        if (!m_session.unsetSetting(command.key, error))
            return error;
        return std::nullopt;
    case CommandWord::Notify:
        m_session.notifySettingsChanged();
        return std::nullopt;
    case CommandWord::Dump:
        m_out << "dump " << (m_session.contentView() ? ui::dumpViewTree(*m_session.contentView()) : std::string("null")) << '\n';
        return std::nullopt;
    case CommandWord::Render:
        if (!m_session.renderToFile(command.file, error))
            return error;
        return std::nullopt;
    case CommandWord::Record:
        if (!m_session.recordToFile(command.file, command.x, error))
            return error;
        return std::nullopt;
    case CommandWord::Destroy:
        if (auto missing = needController())
            return missing;
        m_session.destroyController();
        return std::nullopt;
    }
    return std::string("unknown command");
}

}

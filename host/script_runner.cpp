#include "script_runner.h"

#include "interruption.h"
#include "spoken_text.h"
#include "sys/format.h"
#include "ui/view_dump.h"

#include <cstdio>
#include <istream>
#include <ostream>

namespace kavrin::host {

ScriptRunner::ScriptRunner(HostSession& session, std::ostream& out, std::ostream& err, bool settingsAsGiven)
    : m_session(session)
    , m_out(out)
    , m_err(err)
    , m_settingsAsGiven(settingsAsGiven)
{
}

int ScriptRunner::run(std::istream& script, const std::string& scriptName)
{
    std::string line;
    for (int number = 1; !interrupted() && std::getline(script, line); ++number) {
        ParsedLine parsed = parseScriptLine(line, m_settingsAsGiven);
        Result<void> done;
        if (!parsed)
            done = Error { parsed.error() };
        else if (const std::optional<ScriptCommand>& command = *parsed) {
            // What arrived while the host waited for this line (another process's settings
            // change) is handled before the line runs, and what the line set off after it.
            m_session.idle();
            done = execute(*command);
            if (done)
                m_session.idle();
        }
        m_out.flush();
        if (!done) {
            m_err << "kavrin-host: " << scriptName << ':' << number << ": " << done.error() << " (in \"" << line << "\")\n";
            m_err.flush();
            return 2;
        }
    }
    if (interrupted())
        return interruptedStatus();
    // A read error ends the loop as the end of the script would; it must not pass for one.
    if (script.bad()) {
        m_err << "kavrin-host: " << scriptName << ": cannot read the script any further\n";
        m_err.flush();
        return 2;
    }
    return 0;
}

void ScriptRunner::speakDescriptionsWith(SpeechRecorder* speaker, std::string language)
{
    m_speaker = speaker;
    m_speechLanguage = std::move(language);
}

void ScriptRunner::describe(ui::Point point)
{
    const std::optional<ui::AccessibilityDescription> description = m_reader.describeAt(point);
    m_out << "describe " << (description ? ui::dumpAccessibilityDescription(*description) : std::string("null")) << '\n';
    if (description && m_speaker)
        m_speaker->speak(spokenText(*description, m_speechLanguage));
}

void ScriptRunner::printReadingOrder()
{
    ui::JsonWriter json;
    json.beginArray();
    for (const ui::AccessibilityDescription& description : m_reader.readingOrder())
        ui::writeAccessibilityDescription(json, description);
    json.endArray();
    m_out << "elements " << json.text() << '\n';
}

Result<void> ScriptRunner::needController() const
{
    if (!m_session.controller())
        return Error { "the controller has been destroyed" };
    return {};
}

Result<void> ScriptRunner::execute(const ScriptCommand& command)
{
    auto point = [&] { return ui::Point { static_cast<float>(command.x), static_cast<float>(command.y) }; };
    switch (command.word) {
    case CommandWord::View:
        if (auto present = needController(); !present)
            return present;
        m_session.showView();
        return {};
    case CommandWord::Height: {
        if (auto present = needController(); !present)
            return present;
        char text[64];
        std::snprintf(text, sizeof text, "height %.1f", static_cast<double>(m_session.viewHeight()));
        m_out << text << '\n';
        return {};
    }
    case CommandWord::Appear:
        if (auto present = needController(); !present)
            return present;
        m_session.viewDidAppear();
        return {};
    case CommandWord::Disappear:
        if (auto present = needController(); !present)
            return present;
        m_session.viewDidDisappear();
        return {};
    case CommandWord::Wait:
        m_session.advance(command.x);
        return {};
    case CommandWord::Tap:
        m_session.tap(point());
        return {};
    case CommandWord::TapLocation: {
        if (auto present = needController(); !present)
            return present;
        sys::URLPtr url = m_session.launchURLForTapLocation(point());
        m_out << "launch " << (url ? url->absoluteString() : std::string("none")) << '\n';
        return {};
    }
    case CommandWord::Scroll:
        if (!m_session.scrollTo(static_cast<float>(command.x)))
            return Error { "there is no scroll view on screen" };
        return {};
    case CommandWord::Page:
        if (!m_session.scrollToPage(command.index - 1))
            return Error { "there is no scroll view on screen" };
        return {};
    case CommandWord::Press:
        return m_session.press(command.index);
    case CommandWord::Set:
        return m_session.setSetting(command.key, command.value);
    case CommandWord::Unset:
        return m_session.unsetSetting(command.key);
    case CommandWord::Notify:
        m_session.notifySettingsChanged();
        return {};
    case CommandWord::Dump:
        m_out << "dump " << (m_session.contentView() ? ui::dumpViewTree(*m_session.contentView()) : std::string("null")) << '\n';
        return {};
    case CommandWord::Render:
        return m_session.renderToFile(command.file);
    case CommandWord::Record:
        return m_session.recordToFile(command.file, command.x);
    case CommandWord::Destroy:
        if (auto present = needController(); !present)
            return present;
        m_session.destroyController();
        return {};
    case CommandWord::Describe:
        describe(point());
        return {};
    case CommandWord::Elements:
        printReadingOrder();
        return {};
    case CommandWord::SwipeNext:
    case CommandWord::SwipePrevious:
        if (!m_reader.swipe(command.word == CommandWord::SwipeNext ? ui::AccessibilityScrollDirection::Next : ui::AccessibilityScrollDirection::Previous))
            return Error { "there is no scroll view on screen" };
        return {};
    }
    return Error { "unknown command" };
}

}

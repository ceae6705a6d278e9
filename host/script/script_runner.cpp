#include "script/script_runner.h"
#include "base/host_errors.h"

#include "base/interruption.h"
#include "reader/accessibility_audit.h"
#include "reader/spoken_text.h"

#include <istream>
#include <ostream>

namespace kavrin::host {

ScriptRunner::ScriptRunner(HostSession& session, std::ostream& err, bool settingsAsGiven)
    : m_session(session)
    , m_err(err)
    , m_settingsAsGiven(settingsAsGiven)
{
}

ExitStatus ScriptRunner::run(const std::vector<ScriptLine>& script, const std::string& scriptName)
{
    for (const ScriptLine& line : script) {
        if (interrupted())
            break;
        m_session.idle();
        if (Result<void> done = execute(line.command); !done) {
            reportBadLine(m_err, scriptName, line.number, done.error(), line.text);
            return interrupted() ? interruptedStatus() : ExitStatus::Usage;
        }
        m_session.idle();
    }
    return interrupted() ? interruptedStatus() : ExitStatus::Success;
}

ExitStatus ScriptRunner::serve(std::istream& commands, JsonAnswer& answers)
{
    std::string text;
    for (int number = 1; !interrupted() && std::getline(commands, text); ++number) {
        ParsedLine parsed = parseScriptLine(text, m_settingsAsGiven);
        Result<void> done;
        if (!parsed) {
            done = Error { parsed.error() };
        } else if (const std::optional<ScriptCommand>& command = *parsed) {
            // What arrived while the host waited for this line (another process's settings
            // change) is handled before the line runs, and what the line set off after it.
            m_session.idle();
            done = execute(*command);
            if (done)
                m_session.idle();
        }
        if (done)
            answers.succeed();
        else
            answers.fail(number, done.error());
    }
    if (interrupted())
        return interruptedStatus();
    if (commands.bad()) {
        kHostErrors.begin(m_err) << "cannot read the commands any further\n";
        return ExitStatus::Usage;
    }
    return ExitStatus::Success;
}

void ScriptRunner::speakDescriptionsWith(SpeechRecorder* speaker, std::string language)
{
    m_speaker = speaker;
    m_speechLanguage = std::move(language);
}

Result<void> ScriptRunner::execute(const ScriptCommand& command)
{
    if (Result<void> allowed = m_state.allows(command); !allowed)
        return allowed;
    Result<void> done = carryOut(command);
    if (done)
        m_state.ran(command);
    return done;
}

Result<void> ScriptRunner::carryOut(const ScriptCommand& command)
{
    CommandOutput& output = m_session.output();
    auto point = [&] { return weeapp::ui::Point { static_cast<float>(command.x), static_cast<float>(command.y) }; };
    auto written = [&](Result<void> result) {
        if (result)
            output.wrote(command.file);
        return result;
    };
    switch (command.word) {
    case CommandWord::View:
        m_session.showView();
        return {};
    case CommandWord::Height:
        output.height(m_session.viewHeight());
        return {};
    case CommandWord::Appear:
        m_session.viewDidAppear();
        return {};
    case CommandWord::Disappear:
        m_session.viewDidDisappear();
        return {};
    case CommandWord::Wait:
        m_session.advance(command.x);
        return {};
    case CommandWord::Tap:
        m_session.tap(point());
        return {};
    case CommandWord::TapLocation: {
        weeapp::sys::URLPtr url = m_session.launchURLForTapLocation(point());
        output.launch(url.get());
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
        output.dump(m_session.contentView());
        return {};
    case CommandWord::Render:
        return written(m_session.renderToFile(command.file));
    case CommandWord::Record:
        return written(m_session.recordToFile(command.file, command.x));
    case CommandWord::Destroy:
        m_session.destroyController();
        return {};
    case CommandWord::Describe: {
        const std::optional<weeapp::ui::AccessibilityDescription> description = m_reader.describeAt(point());
        output.described(description);
        if (description && m_speaker)
            m_speaker->speak(spokenText(*description, m_speechLanguage));
        return {};
    }
    case CommandWord::Elements:
        output.elements(m_reader.readingOrder());
        return {};
    case CommandWord::SwipeNext:
    case CommandWord::SwipePrevious:
        if (!m_reader.swipe(command.word == CommandWord::SwipeNext ? weeapp::ui::AccessibilityScrollDirection::Next : weeapp::ui::AccessibilityScrollDirection::Previous))
            return Error { "there is no scroll view on screen" };
        return {};
    case CommandWord::Audit:
        output.audited(auditScreen(m_session));
        return {};
    }
    return Error { "unknown command" };
}

}

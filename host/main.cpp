// kavrin-host: the notification-centre host for the widget. With --script it runs a checked
// script on the manual clock, with --protocol json it answers commands as they come; without,
// it runs the demo on a scratch copy of the phone (or, with --live or --window, shows the widget
// of the phone itself on the real clock; with --gallery, draws every state on a scratch copy).
// SIGINT, SIGTERM and SIGHUP end every mode between two steps.

#include "base/exit_status.h"
#include "base/host_errors.h"
#include "base/interruption.h"
#include "base/message_text.h"
#include "demo_phone.h"
#include "demo_phone_location.h"
#include "desktop/desktop_module.h"
#include "host_options.h"
#include "kavrin/published_names.h"
#include "modes/host_modes.h"
#include "reader/speech_recorder.h"
#include "scratch_phone.h"
#include "script/script_check.h"
#include "session/command_output.h"
#include "session/host_session.h"
#include "system_notifications.h"
#include <weeapp/c_handles.h>
#include <weeapp/platform_state.h>
#include <weeapp/sys/events/clock.h>
#include <weeapp/sys/events/run_loop.h>
#include <weeapp/sys/files/phone_root.h>
#include <weeapp/sys/random.h>
#include <weeapp/sys/user_defaults.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <variant>

using namespace kavrin;
using host::ExitStatus;
using host::Stop;

namespace {

template<typename... Ways>
struct Overloaded : Ways... {
    using Ways::operator()...;
};

// How a run of the host ends: with a status, or with a message to report first.
using Ending = std::variant<ExitStatus, Stop>;

// The phone the modes act on: the given root, or the demo phone, written when missing. A --root
// that is not a folder is refused (a mistyped root must not grow folders of its own). The demo
// and the gallery, which change settings from state to state, run on a scratch copy of the
// phone, so that nothing they do, and no interruption of them, changes the user's files. The
// window and --live show the phone itself, so that changes made from elsewhere show.
std::optional<Stop> preparePhone(const host::HostOptions& options, std::unique_ptr<phone_files::ScratchPhone>& scratch, std::ostream& notes)
{
    std::filesystem::path root = options.root.value_or(phone_files::defaultDemoPhoneRoot());
    std::error_code ignored;
    if (options.root && !std::filesystem::is_directory(root, ignored))
        return Stop { ExitStatus::Usage, "no phone root at " + root.string() };
    if (!options.root && phone_files::demoPhoneExists(root)) {
        // A bundle link that cannot be made leaves the phone as it is, and the plug-in's loading says the rest.
        if (auto linked = phone_files::linkDemoBundle(root, phone_files::builtBundleFolder()); !linked)
            host::kHostErrors.report(std::cerr, linked.error());
    } else if (!options.root) {
        // Only in a folder that is there (the checkout), or in the user's data folder for an
        // installed host: no folders of its own anywhere else.
        if (phone_files::demoPhoneFoldersMayBeMade(root))
            std::filesystem::create_directories(root.parent_path(), ignored);
        if (!std::filesystem::is_directory(root.parent_path(), ignored))
            return Stop { ExitStatus::Failure, "cannot write the demo phone: no folder " + root.parent_path().string() + " to write it in" };
        if (auto written = phone_files::writeDemoPhone(root, phone_files::builtBundleFolder()); !written)
            return Stop { ExitStatus::Failure, "cannot write the demo phone: " + written.error() };
        notes << "wrote a demo phone in " << root.string() << '\n';
    }
    if (options.drawsOnScratch()) {
        auto copied = phone_files::ScratchPhone::copyOf(root);
        if (!copied)
            return Stop { ExitStatus::Failure, copied.error() };
        scratch = std::move(*copied);
        root = scratch->root();
    }
    weeapp::sys::setPhoneRoot(root);

    weeapp::sys::Array languages;
    for (const std::string& code : options.languages)
        languages.push_back(weeapp::sys::Value::string(code));
    weeapp::sys::UserDefaults::standardUserDefaults().setObjectForKey(weeapp::sys::Value::array(std::move(languages)), weeapp::sys::kAppleLanguagesKey);
    // The demo gives the same pictures at every run.
    constexpr std::uint64_t kPictureSeed = 1;
    if (options.seed || options.drawsOnScratch())
        weeapp::sys::seedRandom(options.seed.value_or(kPictureSeed));
    return std::nullopt;
}

// The widget picks its chooser's language by the first preferred one, compared whole: say so
// when that gives English for a code that asked for something else.
void noteUnmatchedLanguage(const host::HostOptions& options)
{
    const std::string& first = options.languages.empty() ? std::string() : options.languages.front();
    if (first.empty() || first == "en" || std::ranges::find(kChooserLanguages, first) != kChooserLanguages.end())
        return;
    std::string note = "note: the widget matches the first language whole and case-sensitively (en";
    for (std::string_view language : kChooserLanguages)
        note += ", " + std::string(language);
    host::kHostErrors.report(std::cerr, note + "); '" + host::escapedForMessage(first) + "' gets English");
}

std::string scriptName(const host::ScriptOptions& script)
{
    return script.file == "-" ? "stdin" : script.file;
}

// The script's lines, each checked, read whole before any runs; nothing after a message (or on
// an interruption). Pipes stay allowed (--script <(...)). The error names a script that cannot
// be read.
Result<std::optional<std::vector<host::ScriptLine>>> readScript(const host::ScriptOptions& script, bool settingsAsGiven)
{
    const std::string& name = script.file;
    // A folder would open and read as an empty script.
    std::error_code ignored;
    if (name != "-" && std::filesystem::is_directory(name, ignored))
        return Error { "the script " + host::escapedForMessage(name) + " is a folder" };
    const weeapp::FileDescriptor opened(name == "-" ? -1 : ::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    const int fd = name == "-" ? STDIN_FILENO : opened.get();
    if (fd < 0)
        return Error { "cannot read the script " + host::escapedForMessage(name) };
    host::InterruptibleInput input(fd);
    std::istream lines(&input);
    return host::readCheckedScript(lines, scriptName(script), std::cerr, settingsAsGiven);
}

// The voice of the language the widget's texts are in: the first language when the widget speaks
// it (matched whole, as the widget matches it), else English, the widget's own fallback, so that
// English texts are never read in another language's voice.
std::string speechLanguage(const host::HostOptions& options)
{
    if (!options.languages.empty() && std::ranges::find(kChooserLanguages, options.languages.front()) != kChooserLanguages.end())
        return options.languages.front();
    return "en";
}

// The run loop's clock: the window's own, which its keys stop and step; the real one for --live;
// the manual one, which the script's and the demo's steps move, for the rest.
void setClock(const host::HostOptions& options, const std::shared_ptr<host::WindowClock>& windowClock)
{
    if (windowClock)
        weeapp::sys::RunLoop::main().setClock(windowClock);
    else if (options.is<host::LiveOptions>())
        weeapp::sys::RunLoop::main().setClock(std::make_shared<weeapp::sys::SystemClock>());
    else
        weeapp::sys::RunLoop::main().setClock(std::make_shared<weeapp::sys::ManualClock>());
}

// One run of the host: what the options ask for prepared step by step, then the mode on the
// started session. Each step may end the run.
class Host {
public:
    explicit Host(const host::HostOptions& options)
        : m_options(options)
    {
    }

    Ending run()
    {
        if (std::optional<Ending> ended = prepare())
            return *ended;
        // The gallery's standard output names its pictures; what the widget does on its way (the
        // chooser's alerts) is no part of it.
        std::ostream discarded(nullptr);
        host::PlainOutput plain(std::cout), quiet(discarded);
        host::JsonAnswer answers(std::cout);
        host::CommandOutput* output = &plain;
        if (m_options.is<host::ProtocolOptions>())
            output = &answers;
        else if (m_options.is<host::GalleryOptions>())
            output = &quiet;
        host::HostSession session(*output, std::cerr);
        if (std::optional<Stop> stopped = start(session))
            return *stopped;
        Result<ExitStatus> status = runMode(session, answers);
        return finishSpeech(status ? Ending(*status) : Ending(Stop { ExitStatus::Usage, status.error() }));
    }

private:
    // Everything before the session: the script read and checked, the gallery's comparison
    // allowed, the desktop module loaded, the phone ready, the clock and the backdrop chosen.
    std::optional<Ending> prepare()
    {
        if (const auto* script = std::get_if<host::ScriptOptions>(&m_options.mode)) {
            auto lines = readScript(*script, m_options.force);
            if (host::interrupted())
                return host::interruptedStatus();
            if (!lines)
                return Stop { ExitStatus::Usage, lines.error() };
            if (!*lines)
                return ExitStatus::Usage;
            if (script->check)
                return ExitStatus::Success;
            m_script = std::move(**lines);
        }
        if (const auto* gallery = std::get_if<host::GalleryOptions>(&m_options.mode))
            if (std::optional<std::string> refusal = host::GalleryMode::refusal(*gallery))
                return Stop { ExitStatus::Usage, *refusal };
        // The window and the speech need the desktop module; without them it is not loaded at all.
        if (m_options.is<host::WindowOptions>() || m_options.speech) {
            auto loaded = host::DesktopModule::load(host::DesktopModule::defaultFile());
            if (!loaded)
                return Stop { ExitStatus::Usage, host::escapedForMessage(loaded.error()) };
            m_desktop = std::move(*loaded);
        }
        noteUnmatchedLanguage(m_options);
        // With commands, standard output belongs to what they print.
        if (std::optional<Stop> stopped = preparePhone(m_options, m_scratch, m_options.takesCommands() ? std::cerr : std::cout))
            return *stopped;
        if (host::interrupted())
            return host::interruptedStatus();
        if (m_options.is<host::WindowOptions>())
            m_windowClock = std::make_shared<host::WindowClock>();
        setClock(m_options, m_windowClock);
        m_backdrop = host::Backdrop::named(m_options.backdrop);
        if (!m_backdrop)
            return Stop { ExitStatus::Usage, "the backdrop " + host::escapedForMessage(m_options.backdrop) + " is neither dark, light, none nor a picture" };
        return std::nullopt;
    }

    // The session set up and its plug-in loaded, then the system-wide notifications and, with
    // --speak, the recorder in the voice of the widget's language.
    std::optional<Stop> start(host::HostSession& session)
    {
        session.setSettingsRules({ .replaceUnreadable = m_options.force, .createRoot = m_options.create });
        session.setPluginTrust(host::PluginTrust::standard(m_options.trusted));
        session.setScale(m_options.scaleOr(m_options.takesCommands() ? 1 : 2));
        session.setBackdrop(*m_backdrop);
        if (auto started = session.start(m_options.plugin, std::cerr); !started)
            return Stop { ExitStatus::Failure, started.error() };
        // Only once the plug-in is there: a phone root without one is left as it was.
        phone_files::startSystemNotifications();
        if (m_options.speech && m_desktop) {
            auto created = host::SpeechRecorder::create(m_desktop->startSynthesizer(), speechLanguage(m_options));
            if (!created)
                return Stop { ExitStatus::Failure, created.error() };
            m_speaker = std::move(*created);
        }
        return std::nullopt;
    }

    Result<ExitStatus> runMode(host::HostSession& session, host::JsonAnswer& answers)
    {
        const host::Streams streams { std::cout, std::cerr };
        const host::CommandRules rules { m_options.force, m_speaker.get(), speechLanguage(m_options) };
        return std::visit(
            Overloaded {
                [&](const host::ScriptOptions& script) { return host::ScriptMode(std::move(m_script), scriptName(script), rules).run(session, streams); },
                [&](const host::ProtocolOptions&) { return host::ProtocolMode(answers, rules).run(session, streams); },
                [&](const host::DemoOptions&) { return host::DemoMode(m_options.out).run(session, streams); },
                [&](const host::LiveOptions& live) { return host::LiveMode(m_options.out, live).run(session, streams); },
                [&](const host::WindowOptions& window) {
                    const host::WindowSetup setup { m_desktop ? &*m_desktop : nullptr, m_options.out, window.watch, m_speaker.get(), speechLanguage(m_options),
                        m_windowClock.get(), window.paused };
                    return host::WindowMode(setup).run(session, streams);
                },
                [&](const host::GalleryOptions& gallery) { return host::GalleryMode(gallery).run(session, streams); },
            },
            m_options.mode);
    }

    // The speech is written once the session has ended, whatever its status; a failure to write
    // it turns a clean run into status 1.
    Ending finishSpeech(Ending ending) const
    {
        if (!m_speaker)
            return ending;
        auto written = m_speaker->writeWav(*m_options.speech);
        const auto* status = std::get_if<ExitStatus>(&ending);
        if (written || !status)
            return ending;
        return Stop { *status == ExitStatus::Success ? ExitStatus::Failure : *status, host::escapedForMessage(written.error()) };
    }

    const host::HostOptions& m_options;
    std::vector<host::ScriptLine> m_script;
    std::optional<host::DesktopModule> m_desktop;
    std::unique_ptr<phone_files::ScratchPhone> m_scratch;
    std::shared_ptr<host::WindowClock> m_windowClock;
    std::optional<host::Backdrop> m_backdrop;
    std::unique_ptr<host::SpeechRecorder> m_speaker;
};

}

int main(int argc, char** argv)
{
    // Made first, so that it ends last, after everything that uses the platform.
    weeapp::PlatformState platform;
    auto parsed = host::parseHostOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* exit = std::get_if<host::OptionsExit>(&parsed)) {
        (exit->status == 0 ? std::cout : std::cerr) << exit->text;
        return exit->status;
    }
    host::catchInterruptions();
    const Ending ending = Host(std::get<host::HostOptions>(parsed)).run();
    if (const auto* stop = std::get_if<Stop>(&ending)) {
        host::kHostErrors.report(std::cerr, stop->message);
        return static_cast<int>(stop->status);
    }
    return static_cast<int>(std::get<ExitStatus>(ending));
}

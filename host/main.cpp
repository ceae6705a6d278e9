// kavrin-host: the notification-centre host for the widget. With --script it runs a checked
// script on the manual clock, with --protocol json it answers commands as they come; without,
// it runs the demo on a scratch copy of the phone (or, with --live or --window, shows the widget
// of the phone itself on the real clock; with --gallery, draws every state on a scratch copy).
// SIGINT, SIGTERM and SIGHUP end every mode between two steps.

#include "base/host_errors.h"
#include "base/interruption.h"
#include "base/message_text.h"
#include "demo_phone.h"
#include "demo_phone_location.h"
#include "desktop/desktop_module.h"
#include "host_options.h"
#include "kavrin/published_names.h"
#include "modes/demo_session.h"
#include "modes/gallery_comparison.h"
#include "modes/gallery_session.h"
#include "modes/live_session.h"
#include "modes/window_session.h"
#include "reader/speech_recorder.h"
#include "scratch_phone.h"
#include "script/script_check.h"
#include "script/script_runner.h"
#include "session/command_output.h"
#include "session/host_session.h"
#include "system_notifications.h"
#include <weeapp/c_handles.h>
#include <weeapp/platform_state.h>
#include <weeapp/sys/clock.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/random.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/sys/user_defaults.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <memory>

using namespace kavrin;

namespace {

// 0 when the phone is ready; 2 for a --root that is not a folder (a mistyped root must not grow
// folders of its own), 1 when the demo phone cannot be written or copied. The demo and the
// gallery, which change settings from state to state, run on a scratch copy of the phone, so
// that nothing they do, and no interruption of them, changes the user's files. The window and
// --live show the phone itself, so that changes made from elsewhere show.
int preparePhone(const host::HostOptions& options, std::unique_ptr<phone_files::ScratchPhone>& scratch, std::ostream& notes)
{
    std::filesystem::path root = options.root.value_or(phone_files::defaultDemoPhoneRoot());
    std::error_code ignored;
    if (options.root && !std::filesystem::is_directory(root, ignored)) {
        host::kHostErrors.begin(std::cerr) << "no phone root at " << root.string() << '\n';
        return 2;
    }
    if (!options.root && phone_files::demoPhoneExists(root)) {
        std::string error;
        if (!phone_files::linkDemoBundle(root, phone_files::builtBundleFolder(), error))
            host::kHostErrors.begin(std::cerr) << error << '\n';
    } else if (!options.root) {
        // Only in a folder that is there (the checkout), or in the user's data folder for an
        // installed host: no folders of its own anywhere else.
        std::string error = "no folder " + root.parent_path().string() + " to write it in";
        if (phone_files::demoPhoneFoldersMayBeMade(root))
            std::filesystem::create_directories(root.parent_path(), ignored);
        if (!std::filesystem::is_directory(root.parent_path(), ignored) || !phone_files::writeDemoPhone(root, phone_files::builtBundleFolder(), error)) {
            host::kHostErrors.begin(std::cerr) << "cannot write the demo phone: " << error << '\n';
            return 1;
        }
        notes << "wrote a demo phone in " << root.string() << '\n';
    }
    if (!options.takesCommands() && !options.live && !options.window) {
        std::string error;
        scratch = phone_files::ScratchPhone::copyOf(root, error);
        if (!scratch) {
            host::kHostErrors.begin(std::cerr) << error << '\n';
            return 1;
        }
        root = scratch->root();
    }
    sys::setPhoneRoot(root);

    sys::Array languages;
    for (const std::string& code : options.languages)
        languages.push_back(sys::Value::string(code));
    sys::UserDefaults::standardUserDefaults().setObjectForKey(sys::Value::array(std::move(languages)), sys::kAppleLanguagesKey);
    // The demo gives the same pictures at every run.
    constexpr std::uint64_t kPictureSeed = 1;
    bool makesPictures = !options.takesCommands() && !options.live && !options.window;
    if (options.seed || makesPictures)
        sys::seedRandom(options.seed.value_or(kPictureSeed));
    return 0;
}

// The widget picks its chooser's language by the first preferred one, compared whole: say so
// when that gives English for a code that asked for something else.
void noteUnmatchedLanguage(const host::HostOptions& options)
{
    const std::string& first = options.languages.empty() ? std::string() : options.languages.front();
    if (first.empty() || first == "en" || std::ranges::find(kChooserLanguages, first) != kChooserLanguages.end())
        return;
    host::kHostErrors.begin(std::cerr) << "note: the widget matches the first language whole and case-sensitively (en";
    for (std::string_view language : kChooserLanguages)
        std::cerr << ", " << language;
    std::cerr << "); '" << host::escapedForMessage(first) << "' gets English\n";
}

// The script's lines, each checked, read whole before any runs; nothing after a message (or on
// an interruption). Pipes stay allowed (--script <(...)).
std::optional<std::vector<host::ScriptLine>> readScript(const host::HostOptions& options)
{
    const std::string& name = *options.script;
    // A folder would open and read as an empty script.
    std::error_code ignored;
    if (name != "-" && std::filesystem::is_directory(name, ignored)) {
        host::kHostErrors.begin(std::cerr) << "the script " << host::escapedForMessage(name) << " is a folder\n";
        return std::nullopt;
    }
    const weeapp::FileDescriptor opened(name == "-" ? -1 : ::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    const int fd = name == "-" ? STDIN_FILENO : opened.get();
    if (fd < 0) {
        host::kHostErrors.begin(std::cerr) << "cannot read the script " << host::escapedForMessage(name) << '\n';
        return std::nullopt;
    }
    host::InterruptibleInput input(fd);
    std::istream script(&input);
    return host::readCheckedScript(script, name == "-" ? "stdin" : name, std::cerr, options.force);
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

// The window and the speech need the desktop module; without them it is not loaded at all.
// Status 2 when it is needed and cannot be loaded.
int loadDesktop(const host::HostOptions& options, std::optional<host::DesktopModule>& desktop)
{
    if (!options.window && !options.speech)
        return 0;
    auto loaded = host::DesktopModule::load(host::DesktopModule::defaultFile());
    if (!loaded) {
        host::kHostErrors.begin(std::cerr) << host::escapedForMessage(loaded.error()) << '\n';
        return 2;
    }
    desktop = std::move(*loaded);
    return 0;
}

// With --speak, the recorder in the voice of the widget's language; status 1 when it cannot start.
int startSpeech(const host::HostOptions& options, const host::DesktopModule* desktop, std::unique_ptr<host::SpeechRecorder>& speaker)
{
    if (!options.speech || !desktop)
        return 0;
    auto created = host::SpeechRecorder::create(desktop->startSynthesizer(), speechLanguage(options));
    if (!created) {
        host::kHostErrors.begin(std::cerr) << created.error() << '\n';
        return 1;
    }
    speaker = std::move(*created);
    return 0;
}

// The speech is written once the session has ended, whatever its status; a failure to write it
// turns a clean run into status 1.
int writeSpeech(const host::HostOptions& options, const host::SpeechRecorder* speaker, int status)
{
    if (!speaker)
        return status;
    if (auto written = speaker->writeWav(*options.speech); !written) {
        host::kHostErrors.begin(std::cerr) << host::escapedForMessage(written.error()) << '\n';
        return status == 0 ? 1 : status;
    }
    return status;
}

int serveProtocol(host::ScriptRunner& runner, host::JsonAnswer& answers)
{
    host::InterruptibleInput input(0);
    std::istream commands(&input);
    return runner.serve(commands, answers);
}

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
    const auto& options = std::get<host::HostOptions>(parsed);
    host::catchInterruptions();
    std::optional<std::vector<host::ScriptLine>> script;
    if (options.script) {
        script = readScript(options);
        if (host::interrupted())
            return host::interruptedStatus();
        if (!script)
            return 2;
        if (options.check)
            return 0;
    }
    if (options.gallery && options.against) {
        if (std::optional<std::string> refusal = host::GalleryComparison::refusal(*options.gallery, *options.against)) {
            host::kHostErrors.begin(std::cerr) << *refusal << '\n';
            return 2;
        }
    }
    std::optional<host::DesktopModule> desktop;
    if (int status = loadDesktop(options, desktop); status != 0)
        return status;
    noteUnmatchedLanguage(options);
    // With commands, standard output belongs to what they print.
    std::unique_ptr<phone_files::ScratchPhone> scratch;
    if (int status = preparePhone(options, scratch, options.takesCommands() ? std::cerr : std::cout); status != 0)
        return status;
    if (host::interrupted())
        return host::interruptedStatus();

    auto windowClock = options.window ? std::make_shared<host::WindowClock>() : nullptr;
    if (windowClock)
        sys::RunLoop::main().setClock(windowClock);
    else if (options.live)
        sys::RunLoop::main().setClock(std::make_shared<sys::SystemClock>());
    else
        sys::RunLoop::main().setClock(std::make_shared<sys::ManualClock>());

    std::optional<host::Backdrop> backdrop = host::Backdrop::named(options.backdrop);
    if (!backdrop) {
        host::kHostErrors.begin(std::cerr) << "the backdrop " << host::escapedForMessage(options.backdrop)
                                           << " is neither dark, light, none nor a picture\n";
        return 2;
    }

    host::PlainOutput plain(std::cout);
    host::JsonAnswer answers(std::cout);
    // The gallery's standard output names its pictures; what the widget does on its way (the
    // chooser's alerts) is no part of it.
    std::ostream discarded(nullptr);
    host::PlainOutput quiet(discarded);
    host::CommandOutput* output = &plain;
    if (options.protocol)
        output = &answers;
    else if (options.gallery)
        output = &quiet;
    host::HostSession session(*output, std::cerr);
    session.setSettingsRules({ .replaceUnreadable = options.force, .createRoot = options.create });
    session.setPluginTrust(host::PluginTrust::standard(options.trusted));
    session.setScale(options.scaleOr(options.takesCommands() ? 1 : 2));
    session.setBackdrop(*backdrop);
    if (auto started = session.start(options.plugin, std::cerr); !started) {
        host::kHostErrors.begin(std::cerr) << started.error() << '\n';
        return 1;
    }
    // Only once the plug-in is there: a phone root without one is left as it was.
    phone_files::startSystemNotifications();

    std::unique_ptr<host::SpeechRecorder> speaker;
    if (int status = startSpeech(options, desktop ? &*desktop : nullptr, speaker); status != 0)
        return status;
    host::ScriptRunner runner(session, std::cerr, options.force);
    if (speaker)
        runner.speakDescriptionsWith(speaker.get(), speechLanguage(options));
    if (options.protocol)
        return writeSpeech(options, speaker.get(), serveProtocol(runner, answers));
    if (script)
        return writeSpeech(options, speaker.get(), runner.run(*script, *options.script == "-" ? "stdin" : *options.script));
    if (options.window) {
        const host::WindowOptions window { desktop ? &*desktop : nullptr, options.out, options.watch, speaker.get(), speechLanguage(options), windowClock.get(), options.paused };
        return writeSpeech(options, speaker.get(), host::runWindowSession(session, window, std::cout, std::cerr));
    }
    if (options.gallery) {
        host::GallerySession gallery(session, *options.gallery, std::cout, std::cerr);
        gallery.setAudits(options.audit);
        int status = gallery.run();
        if (status == 0 && options.against)
            status = host::GalleryComparison(*options.gallery, *options.against, options.tolerance, session.scale(), session.renderCache().textLayouts(), std::cout, std::cerr)
                         .run(host::galleryStates());
        return status == 0 && gallery.foundFindings() ? 1 : status;
    }
    if (options.live)
        return host::runLiveSession(session, options.out, options.watch, std::cout, std::cerr);
    return host::DemoSession(session, options.out, std::cout, std::cerr).run();
}

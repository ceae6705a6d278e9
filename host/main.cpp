// kavrin-host: the notification-centre host for the widget. With --script it runs a script on
// the manual clock; without, it runs the demo on a scratch copy of the phone (or, with --live or
// --window, shows the widget on the real clock). SIGINT and SIGTERM end every mode between two steps.

#include "demo_phone.h"
#include "demo_session.h"
#include "host_options.h"
#include "host_session.h"
#include "interruption.h"
#include "live_session.h"
#include "window_session.h"
#include "phone_files.h"
#include "scratch_phone.h"
#include "script_runner.h"
#include "speech_recorder.h"
#include "sys/clock.h"
#include "sys/phone_root.h"
#include "sys/random.h"
#include "sys/run_loop.h"
#include "sys/user_defaults.h"

#include <fcntl.h>
#include <unistd.h>

#include <iostream>
#include <memory>

using namespace kavrin;

namespace {

// 0 when the phone is ready; 2 for a --root that is not a folder (a mistyped root must not grow
// folders of its own), 1 when the demo phone cannot be written or copied. The demo runs on a
// scratch copy of the phone, so that nothing it does, and no interruption of it, changes the
// user's files.
int preparePhone(const host::HostOptions& options, std::unique_ptr<tooling::ScratchPhone>& scratch, std::ostream& notes)
{
    std::filesystem::path root = options.root.value_or(tooling::defaultDemoPhoneRoot());
    std::error_code ignored;
    if (options.root && !std::filesystem::is_directory(root, ignored)) {
        std::cerr << "kavrin-host: no phone root at " << root.string() << '\n';
        return 2;
    }
    if (!options.root && !tooling::demoPhoneExists(root)) {
        // Only in a folder that is there (the checkout): no folders of its own on the way.
        std::string error = "no folder " + root.parent_path().string() + " to write it in";
        if (!std::filesystem::is_directory(root.parent_path(), ignored) || !tooling::writeDemoPhone(root, tooling::builtBundleFolder(), error)) {
            std::cerr << "kavrin-host: cannot write the demo phone: " << error << '\n';
            return 1;
        }
        notes << "wrote a demo phone in " << root.string() << '\n';
    }
    if (!options.script && !options.live) {
        std::string error;
        scratch = tooling::ScratchPhone::copyOf(root, error);
        if (!scratch) {
            std::cerr << "kavrin-host: " << error << '\n';
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
    bool makesPictures = !options.script && !options.live && !options.window;
    if (options.seed || makesPictures)
        sys::seedRandom(options.seed.value_or(kPictureSeed));
    return 0;
}

std::string speechLanguage(const host::HostOptions& options)
{
    return options.languages.empty() ? std::string("en") : options.languages.front();
}

// With --speak, the recorder in the voice of the first language; status 1 when it cannot start.
int startSpeech(const host::HostOptions& options, std::unique_ptr<host::SpeechRecorder>& speaker)
{
    if (!options.speech)
        return 0;
    auto created = host::SpeechRecorder::create(speechLanguage(options));
    if (!created) {
        std::cerr << "kavrin-host: " << created.error() << '\n';
        return 1;
    }
    speaker = std::move(*created);
    return 0;
}

// The speech is written once the script or the window has ended, whatever its status; a failure
// to write it turns a clean run into status 1.
int writeSpeech(const host::HostOptions& options, const host::SpeechRecorder* speaker, int status)
{
    if (!speaker)
        return status;
    if (auto written = speaker->writeWav(*options.speech); !written) {
        std::cerr << "kavrin-host: " << written.error() << '\n';
        return status == 0 ? 1 : status;
    }
    return status;
}

int runScript(host::HostSession& session, const host::HostOptions& options, host::SpeechRecorder* speaker)
{
    const std::string& name = *options.script;
    int fd = name == "-" ? 0 : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::cerr << "kavrin-host: cannot read the script " << name << '\n';
        return 2;
    }
    host::InterruptibleInput input(fd);
    std::istream script(&input);
    host::ScriptRunner runner(session, std::cout, std::cerr, options.force);
    if (speaker)
        runner.speakDescriptionsWith(speaker, speechLanguage(options));
    int status = runner.run(script, name == "-" ? "stdin" : name);
    if (fd != 0)
        ::close(fd);
    return writeSpeech(options, speaker, status);
}

}

int main(int argc, char** argv)
{
    auto parsed = host::parseHostOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed) {
        std::cerr << "kavrin-host: " << parsed.error() << '\n' << host::kHostUsage;
        return 2;
    }
    const host::HostOptions& options = *parsed;
    host::catchInterruptions();
    // A folder would open and read as an empty script. Pipes stay allowed (--script <(...)).
    std::error_code ignored;
    if (options.script && *options.script != "-" && std::filesystem::is_directory(*options.script, ignored)) {
        std::cerr << "kavrin-host: the script " << *options.script << " is a folder\n";
        return 2;
    }
    // In a script, standard output belongs to the script's own lines.
    std::unique_ptr<tooling::ScratchPhone> scratch;
    if (int status = preparePhone(options, scratch, options.script ? std::cerr : std::cout); status != 0)
        return status;
    if (host::interrupted())
        return host::interruptedStatus();

    if (options.live || options.window)
        sys::RunLoop::main().setClock(std::make_shared<sys::SystemClock>());
    else
        sys::RunLoop::main().setClock(std::make_shared<sys::ManualClock>());

    std::optional<host::Backdrop> backdrop = host::Backdrop::named(options.backdrop);
    if (!backdrop) {
        std::cerr << "kavrin-host: the backdrop " << options.backdrop << " is neither dark, light, none nor a picture\n";
        return 2;
    }

    host::HostSession session(std::cout, std::cerr);
    session.setSettingsRules({ .replaceUnreadable = options.force, .createRoot = options.create });
    session.setScale(options.scaleOr(options.script ? 1 : 2));
    session.setBackdrop(*backdrop);
    if (auto started = session.start(options.plugin, std::cerr); !started) {
        std::cerr << "kavrin-host: " << started.error() << '\n';
        return 1;
    }
    // Only once the plug-in is there: a phone root without one is left as it was.
    tooling::startSystemNotifications();

    std::unique_ptr<host::SpeechRecorder> speaker;
    if (int status = startSpeech(options, speaker); status != 0)
        return status;
    if (options.script)
        return runScript(session, options, speaker.get());
    if (options.window) {
        const host::WindowOptions window { options.out, options.watch, speaker.get(), speechLanguage(options) };
        return writeSpeech(options, speaker.get(), host::runWindowSession(session, window, std::cout, std::cerr));
    }
    if (options.live)
        return host::runLiveSession(session, options.out, std::cout);
    return host::DemoSession(session, options.out, std::cout).run();
}

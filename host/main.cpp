// kavrin-host: the notification-centre host for the widget. With --script it runs a script on
// the manual clock; without, it runs the demo (or, with --live, shows the widget on the real
// clock).

#include "demo_phone_writer.h"
#include "demo_session.h"
#include "host_options.h"
#include "host_session.h"
#include "live_session.h"
#include "phone_files.h"
#include "script_runner.h"
#include "sys/clock.h"
#include "sys/phone_root.h"
#include "sys/random.h"
#include "sys/run_loop.h"
#include "sys/user_defaults.h"

#include <fstream>
#include <iostream>

using namespace kavrin;

namespace {

bool preparePhone(const host::HostOptions& options, std::ostream& notes)
{
    std::filesystem::path root = options.root.value_or(tooling::defaultDemoPhoneRoot());
    if (!options.root && !tooling::demoPhoneExists(root)) {
        std::string error;
        if (!tooling::writeDemoPhone(root, tooling::builtBundleFolder(), error)) {
            std::cerr << "kavrin-host: cannot write the demo phone: " << error << '\n';
            return false;
        }
        notes << "wrote a demo phone in " << root.string() << '\n';
    }
    sys::setPhoneRoot(root);

    sys::Array languages;
    for (const std::string& code : options.languages)
        languages.push_back(sys::Value::string(code));
    sys::UserDefaults::standardUserDefaults().setObjectForKey(sys::Value::array(std::move(languages)), sys::kAppleLanguagesKey);
    if (options.seed)
        sys::seedRandom(*options.seed);
    tooling::startSystemNotifications();
    return true;
}

}

int main(int argc, char** argv)
{
    auto parsed = host::parseHostOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<host::OptionsError>(&parsed)) {
        std::cerr << "kavrin-host: " << error->message << '\n' << host::kHostUsage;
        return 2;
    }
    const auto& options = std::get<host::HostOptions>(parsed);
    // In a script, standard output belongs to the script's own lines.
    if (!preparePhone(options, options.script ? std::cerr : std::cout))
        return 1;

    if (options.live)
        sys::RunLoop::main().setClock(std::make_shared<sys::SystemClock>());
    else
        sys::RunLoop::main().setClock(std::make_shared<sys::ManualClock>());

    host::HostSession session(std::cout);
    std::string error;
    if (!session.start(error)) {
        std::cerr << "kavrin-host: " << error << '\n';
        return 1;
    }

    if (options.script) {
        host::ScriptRunner runner(session, std::cout, std::cerr);
        if (*options.script == "-")
            return runner.run(std::cin, "stdin");
        std::ifstream script(*options.script);
        if (!script) {
            std::cerr << "kavrin-host: cannot read the script " << *options.script << '\n';
            return 2;
        }
        return runner.run(script, *options.script);
    }
    if (options.live)
        return host::runLiveSession(session, options.out, std::cout);
    return host::DemoSession(session, options.out, std::cout).run();
}

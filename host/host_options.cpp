#include "host_options.h"

#include "sys/format.h"

#include <charconv>

namespace kavrin::host {

const char* const kHostUsage =
    "usage: kavrin-host [--root DIR] [--plugin NAME] [--lang CODES] [--seed N] [--script FILE|-] [--speak FILE.wav] [--out DIR] [--live]\n"
    "                   [--force] [--create] [--window] [--watch] [--scale 1|2|3] [--backdrop dark|light|none|FILE]\n"
    "  --plugin NAME loads NAME.bundle of the root's plug-ins folder; without it, the first by name that loads\n"
    "  --scale: device pixels to a point (scripts 1, otherwise 2); script coordinates stay in points\n"
    "  script set takes the keys of kavrin-prefs keys with values of their type; --force and --create\n"
    "  work as for kavrin-prefs\n"
    "  script numbers: tap X Y, tap-location X Y, describe X Y and scroll X within float range; wait S from 0 to 86400\n"
    "  --speak: with --script every describe, with --window every element the pointer comes onto, is spoken\n"
    "  in the voice of the first language into a WAV file (in the window also aloud)\n"
    "  exit status: 0 the script ran to its end (the demo: every picture written); 1 no loadable plug-in\n"
    "  under the root (or a demo picture not written); 2 a usage error, a --root that is not a folder,\n"
    "  a script that cannot be read or a bad script line; 130 and 143 ended by SIGINT and SIGTERM\n";

Result<HostOptions> parseHostOptions(const std::vector<std::string>& arguments)
{
    HostOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--live" || option == "--force" || option == "--create" || option == "--window" || option == "--watch") {
            (option == "--live" ? options.live : option == "--force" ? options.force : option == "--create" ? options.create : option == "--window" ? options.window : options.watch) = true;
            continue;
        }
        bool takesValue = option == "--root" || option == "--plugin" || option == "--lang" || option == "--seed" || option == "--script" || option == "--out"
            || option == "--scale" || option == "--backdrop" || option == "--speak";
        if (!takesValue)
            return Error { "unknown option '" + option + "'" };
        if (i + 1 >= arguments.size())
            return Error { option + " needs a value" };
        const std::string& value = arguments[++i];
        if (option == "--root") {
            if (value.empty())
                return Error { "--root needs a folder" };
            options.root = value;
        } else if (option == "--plugin") {
            if (value.empty() || value.find('/') != std::string::npos)
                return Error { "--plugin needs a bundle name, not '" + value + "'" };
            options.plugin = value;
        } else if (option == "--lang") {
            options.languages.clear();
            for (std::string& code : sys::componentsSeparatedByString(value, ","))
                if (!code.empty())
                    options.languages.push_back(std::move(code));
        } else if (option == "--seed") {
            std::uint64_t seed = 0;
            auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seed);
            if (error != std::errc() || end != value.data() + value.size() || value.empty())
                return Error { "--seed needs a non-negative integer, not '" + value + "'" };
            options.seed = seed;
        } else if (option == "--scale") {
            if (value != "1" && value != "2" && value != "3")
                return Error { "--scale needs 1, 2 or 3, not '" + value + "'" };
            options.scale = value[0] - '0';
        } else if (option == "--backdrop") {
            if (value.empty())
                return Error { "--backdrop needs dark, light, none or a picture" };
            options.backdrop = value;
        } else if (option == "--speak") {
            if (value.empty())
                return Error { "--speak needs a file" };
            options.speech = value;
        } else if (option == "--script") {
            if (value.empty())
                return Error { "--script needs a file or -" };
            options.script = value;
        } else {
            if (value.empty())
                return Error { "--out needs a folder" };
            options.out = value;
        }
    }
    int modes = (options.live ? 1 : 0) + (options.script ? 1 : 0) + (options.window ? 1 : 0);
    if (modes > 1)
        return Error { "--live, --script and --window exclude each other" };
    if (options.watch && !options.window)
        return Error { "--watch needs --window" };
    if (options.speech && !options.script && !options.window)
        return Error { "--speak needs --script or --window" };
    return options;
}

}

#include "host_options.h"

#include "base/host_errors.h"
#include "base/message_text.h"
#include "command_line.h"
#include "help_text.h"
#include "script/script_commands.h"
#include <weeapp/sys/format.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>

#ifndef KAVRIN_VERSION
#error "KAVRIN_VERSION comes from the project's version"
#endif

namespace kavrin::host {

namespace {

constexpr const char* kUsageLine =
    "usage: kavrin-host [--root DIR] [--plugin NAME] [--plugins DIR]... [--lang CODES] [--seed N] [--out DIR] [--force] [--create]\n"
    "                   [--scale 1|2|3] [--backdrop dark|light|none|FILE] [--speak FILE.wav]\n"
    "                   [--script FILE|- [--check] | --protocol json | --live [--watch] | --window [--watch] [--paused] | --gallery DIR [--against OLD [--tolerance F]] [--audit]]\n";

using OptionNames = std::shared_ptr<std::vector<std::string>>;

// A value that must be given and must not be one of the options: "--root --script -" means a
// forgotten folder, not a folder called "--script".
CLI::Validator needsValue(std::string what, OptionNames names)
{
    return CLI::Validator(
        [what, names](std::string& value) -> std::string {
            if (value.empty())
                return "needs " + what;
            std::string name = value.substr(0, value.find('='));
            if (std::ranges::find(*names, name) != names->end())
                return "needs " + what + ", not the option " + name;
            return {};
        },
        "", "");
}

constexpr std::size_t kDescriptionColumn = 26;

std::string helpEntry(const std::string& head, const std::string& text)
{
    return support::helpEntry(head, text, kDescriptionColumn);
}

// The options as the script commands are listed, their descriptions wrapped.
class WrappingFormatter : public CLI::Formatter {
public:
    std::string make_option(const CLI::Option* option, bool positional) const override
    {
        return helpEntry("  " + make_option_name(option, positional) + make_option_opts(option), make_option_desc(option));
    }
};

std::string scriptCommandsHelp()
{
    std::string text = "Script commands (one a line; \"#\" starts a comment):\n";
    for (const CommandInfo& command : scriptCommands()) {
        std::string synopsis = std::string(command.word);
        if (!command.arguments.empty())
            synopsis += " " + std::string(command.arguments);
        std::string description(command.help);
        if (!command.prints.empty())
            description += "; prints " + std::string(command.prints);
        if (!command.answer.empty())
            description += " (JSON: " + std::string(command.answer) + ")";
        text += helpEntry("  " + synopsis, description);
    }
    std::string needView, needController;
    for (const CommandInfo& command : scriptCommands()) {
        if (command.needs == Needs::Nothing)
            continue;
        std::string& list = command.needs == Needs::View ? needView : needController;
        list += (list.empty() ? "" : ", ") + std::string(command.word);
    }
    std::string needs =
        "Any command after which the widget opens a URL or shows an alert prints \"open URL\" or "
        "\"alert JSON\" ({\"title\", \"buttons\" with Cancel at 0, \"tag\"}). Commands that need the view ("
        + needView
        + ") are errors before \"view\", and after \"destroy\" so are those and the ones that need the controller ("
        + needController + "). Coordinates are in points whatever --scale is.";
    text += support::wrappedHelpText(needs, 0, 0);
    return text;
}

constexpr const char* kHelpFooter =
    "\nA script is checked whole before any line runs: a bad line anywhere stops it with nothing done.\n"
    "With --protocol json each line is answered with one JSON object as it comes:\n"
    "{\"ok\": true, ...what it produced} or {\"ok\": false, \"line\": N, \"error\": \"...\"}; see\n"
    "docs/protocol.md.\n"
    "\nWithout --script, --protocol, --live, --window or --gallery the host runs the demo on a scratch copy\n"
    "of the phone and leaves its pictures in --out.\n"
    "\nThe host runs a plug-in's code only when its bundle resolves, links followed, into a trusted\n"
    "place: the bundle built or installed with the host, a folder named with --plugins, or one listed\n"
    "a line in $XDG_CONFIG_HOME/kavrin/trusted-plugins (else ~/.config/kavrin/trusted-plugins). Any\n"
    "other bundle is refused before it is loaded, with status 1.\n"
    "\nExit status: 0 the script (or the protocol session, the demo, the live view, the window or the\n"
    "gallery) ran to its end; 1 no loadable plug-in under the root, the demo phone not written, a\n"
    "picture of the demo or the gallery not written, a state changed since --against OLD, or a\n"
    "finding of --audit; 2 a usage error, a --gallery folder that holds\n"
    "other files, a --root that is not a folder, a script that cannot be read, a bad\n"
    "script line or a command that failed, a --backdrop that is no picture, or no display for\n"
    "--window; 130, 143 and 129 ended by SIGINT, SIGTERM and SIGHUP (between two commands, steps or\n"
    "frames, never in the middle of writing a file).\n"
    "\nExamples:\n"
    "  kavrin-host --root demo-phone --script - <<< $'view\\ntap 44 44'   # prints: open tel:+491701234567\n"
    "  kavrin-host --root demo-phone --protocol json                    # one JSON answer a line\n"
    "  kavrin-host --window --scale 3 --backdrop light\n"
    "  kavrin-host --gallery out/gallery                                # then open out/gallery/index.html\n"
    "  kavrin-host --gallery out/new --against out/gallery              # then open out/new/diff.html\n"
    "  kavrin-host --root demo-phone --lang de --speak tiles.wav --script - <<< $'view\\ndescribe 44 44'\n";

// What CLI11 parses into, before it becomes HostOptions.
struct OptionTexts {
    std::string root, plugin, lang, seed, script, protocol, out, scale, backdrop, gallery, speak, against;
    std::vector<std::string> plugins;
    bool check { false }, live { false }, window { false }, watch { false }, paused { false }, audit { false };
    double tolerance { 0 };
};

// The options of the phone and the plug-in: which root, which bundle, which languages, which seed.
void addPhoneOptions(CLI::App& app, OptionTexts& texts, const OptionNames& names)
{
    app.add_option("--root", texts.root,
           "the phone root to act on (default: the demo phone: $KAVRIN_DEMO_PHONE, else demo-phone/ of the checkout, or "
           "kavrin/demo-phone in the user's data folder for an installed host; "
           "written when missing)")
        ->option_text("DIR")
        ->check(needsValue("a folder", names));
    app.add_option("--plugins", texts.plugins,
           "trusts the plug-in bundles in DIR (or the bundle DIR itself), links followed: the host loads plug-ins only from "
           "trusted places (repeatable)")
        ->option_text("DIR")
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->check(needsValue("a folder", names))
        ->check(CLI::ExistingDirectory);
    app.add_option("--plugin", texts.plugin,
           "loads NAME.bundle of the root's plug-ins folder (default: the first bundle by name that loads; each that fails "
           "is named on standard error)")
        ->option_text("NAME")
        ->check(needsValue("a bundle name", names))
        ->check(CLI::Validator(
            [](std::string& value) {
                return value.find('/') == std::string::npos ? std::string() : "needs a bundle name, not '" + escapedForMessage(value) + "'";
            },
            "", ""));
    app.add_option("--lang", texts.lang,
           "the user's languages, most preferred first, comma-separated (default: en); the widget matches the first "
           "whole, and a note says when it gets English")
        ->option_text("CODES")
        ->check(needsValue("language codes", names));
    app.add_option("--seed", texts.seed, "seeds the random choices (default: truly random; 1 for the demo's pictures)")
        ->option_text("N")
        ->check(needsValue("a non-negative integer", names));
}

// The modes, each excluding the others, and the options only one of them takes.
void addModeOptions(CLI::App& app, OptionTexts& texts, const OptionNames& names)
{
    CLI::Option* script = app.add_option("--script", texts.script,
                                 "runs the script FILE, or standard input for -, once every line is checked; prints the "
                                 "plain lines below")
                              ->option_text("FILE|-")
                              ->check(needsValue("a file or -", names));
    app.add_flag("--check", texts.check, "with --script: only checks the script; nothing runs")->option_text(" ")->needs(script);
    CLI::Option* protocol = app.add_option("--protocol", texts.protocol,
                                   "answers commands from standard input as they come, one JSON object a line")
                                ->option_text("json")
                                ->check(CLI::IsMember({ "json" }))
                                ->excludes(script);
    CLI::Option* live = app.add_flag("--live", texts.live,
                               "shows the widget on the real clock until stopped; --out's live.png follows it, replaced "
                               "whole and only when the frame changed")
                            ->option_text(" ")
                            ->excludes(script)
                            ->excludes(protocol);
    CLI::Option* window = app.add_flag("--window", texts.window,
                                 "shows the widget in a desktop window on the real clock: a click taps, a drag or the "
                                 "wheel pages; arrows page, 1 2 3 set the scale, b cycles the backdrops, r reloads, s "
                                 "saves the frame into --out, v turns the screen reader on and off (the element under "
                                 "the pointer is printed as describe prints it and shown under the widget), q or Escape "
                                 "quits (needs a display)")
                              ->option_text(" ")
                              ->excludes(script)
                              ->excludes(protocol)
                              ->excludes(live);
    CLI::Option* gallery = app.add_option("--gallery", texts.gallery,
                                  "draws every state of the widget into DIR, on a scratch copy of the phone: one picture a state, a "
                                  "contact sheet (gallery.png) and index.html with the settings of each; DIR must be new, empty or an "
                                  "earlier gallery")
                               ->option_text("DIR")
                               ->check(needsValue("a folder", names))
                               ->excludes(script)
                               ->excludes(protocol)
                               ->excludes(live)
                               ->excludes(window);
    CLI::Option* against = app.add_option("--against", texts.against,
                                  "with --gallery: compares every state's picture with the earlier gallery OLD, prints "
                                  "\"changed FILE SHARE\", \"only-new FILE\" and \"only-old FILE\", writes diff pictures into DIR/diff/ "
                                  "and DIR/diff.html (old, new and diff side by side); status 1 when any state changed")
                               ->option_text("OLD")
                               ->check(needsValue("a folder", names))
                               ->check(CLI::ExistingDirectory)
                               ->needs(gallery);
    app.add_option("--tolerance", texts.tolerance, "with --against: the share of a picture's pixels (0 to 1) that may change before its state counts as changed (default 0)")
        ->option_text("F")
        ->check(CLI::Range(0.0, 1.0))
        ->needs(against);
    app.add_flag("--watch", texts.watch,
           "with --window or --live: reloads when the favorites list, the address-book databases or the plug-in change")
        ->option_text(" ");
    app.add_flag("--paused", texts.paused, "with --window: opens with the clock stopped at 0 (space runs it)")
        ->option_text(" ")
        ->needs(window);
    app.add_flag("--audit", texts.audit,
           "with --gallery: audits every state as the script command audit does and prints each finding as \"audit FILE "
           "RULE ELEMENT FIGURE ...\" after the state's picture; the status is 1 when anything is found")
        ->option_text(" ")
        ->needs("--gallery");
}

// Where pictures go and how they look, what is spoken, and how set treats the settings file.
void addOutputOptions(CLI::App& app, OptionTexts& texts, HostOptions& options, const OptionNames& names)
{
    app.add_option("--out", texts.out, "where the demo, --live and --window leave their pictures (default: out)")
        ->option_text("DIR")
        ->check(needsValue("a folder", names));
    app.add_option("--scale", texts.scale,
           "device pixels to a point in every picture (default: 1 for --script and --protocol, else 2); coordinates "
           "stay in points")
        ->option_text("1|2|3")
        ->check(CLI::IsMember({ "1", "2", "3" }));
    app.add_option("--backdrop", texts.backdrop,
           "what is drawn around the widget: the dark ground (default), a light one, none (transparent) or the "
           "picture FILE as a wallpaper")
        ->option_text("dark|light|none|FILE")
        ->check(needsValue("dark, light, none or a picture", names));
    app.add_option("--speak", texts.speak,
           "with --script or --protocol, speaks every describe that finds an element through espeak-ng in the voice of "
           "the language the widget speaks (the first --lang code when it is one of the widget's, else English); with --window, the reader is on from the start and speaks each element the pointer "
           "comes onto, also out loud on the sound device; all of it goes into FILE.wav when the session ends "
           "(16-bit mono, replaced whole)")
        ->option_text("FILE.wav")
        ->check(needsValue("a file", names));
    app.add_flag("--force", options.force,
           "set stores any key with its value typed from the text, and replaces an unreadable settings file after "
           "keeping its bytes beside it, as kavrin-prefs --force does")
        ->option_text(" ");
    app.add_flag("--create", options.create, "set may make the settings file under a root that has no private/var/mobile")
        ->option_text(" ");
}

// The help's script commands, exit statuses and examples after the options, all wrapped at the
// description column; and every option's names, which needsValue refuses as values.
void finishHelp(CLI::App& app, OptionNames& names)
{
    app.footer(scriptCommandsHelp() + kHelpFooter);
    for (const CLI::Option* option : app.get_options()) {
        for (const std::string& name : option->get_lnames())
            names->push_back("--" + name);
        for (const std::string& name : option->get_snames())
            names->push_back("-" + name);
    }
    auto formatter = std::make_shared<WrappingFormatter>();
    formatter->column_width(kDescriptionColumn);
    formatter->label("Usage", "usage");
    app.formatter(formatter);
}

std::unique_ptr<CLI::App> makeApp(OptionTexts& texts, HostOptions& options)
{
    auto names = std::make_shared<std::vector<std::string>>();
    auto app = std::make_unique<CLI::App>(
        "kavrin-host: the notification-centre host for the Kavrin widget.\n"
        "Without --script, --protocol, --live, --window or --gallery it runs the demo.",
        "kavrin-host");
    app->set_version_flag("--version", "kavrin-host " KAVRIN_VERSION);
    addPhoneOptions(*app, texts, names);
    addModeOptions(*app, texts, names);
    addOutputOptions(*app, texts, options, names);
    finishHelp(*app, names);
    return app;
}

OptionsExit usageError(const std::string& message)
{
    return { 2, kHostErrors.line(message) + kUsageLine + "Run 'kavrin-host --help' for every option and script command.\n" };
}

// The one mode the options name (CLI11 has refused two at once).
ModeOptions modeOf(const OptionTexts& texts)
{
    if (!texts.script.empty())
        return ScriptOptions { texts.script, texts.check };
    if (!texts.protocol.empty())
        return ProtocolOptions {};
    if (texts.live)
        return LiveOptions { texts.watch };
    if (texts.window)
        return WindowOptions { texts.watch, texts.paused };
    if (!texts.gallery.empty()) {
        GalleryOptions gallery { texts.gallery, std::nullopt, texts.tolerance, texts.audit };
        if (!texts.against.empty())
            gallery.against = texts.against;
        return gallery;
    }
    return DemoOptions {};
}

}

std::variant<HostOptions, OptionsExit> parseHostOptions(const std::vector<std::string>& arguments)
{
    OptionTexts texts;
    HostOptions options;
    std::unique_ptr<CLI::App> app = makeApp(texts, options);
    if (std::optional<OptionsExit> exit = support::parseCommandLine(*app, arguments, [](const CLI::ParseError& error) { return usageError(error.what()).text; }))
        return *exit;

    if (!texts.root.empty())
        options.root = texts.root;
    if (!texts.plugin.empty())
        options.plugin = texts.plugin;
    for (const std::string& folder : texts.plugins)
        options.trusted.emplace_back(folder);
    if (app->count("--lang")) {
        options.languages.clear();
        for (std::string& code : weeapp::sys::componentsSeparatedByString(texts.lang, ","))
            if (!code.empty())
                options.languages.push_back(std::move(code));
    }
    if (!texts.seed.empty()) {
        std::uint64_t seed = 0;
        const std::string& value = texts.seed;
        auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seed);
        if (error != std::errc() || end != value.data() + value.size())
            return usageError("--seed needs a non-negative integer, not '" + escapedForMessage(value) + "'");
        options.seed = seed;
    }
    if (!texts.out.empty())
        options.out = texts.out;
    if (!texts.scale.empty())
        options.scale = texts.scale[0] - '0';
    if (!texts.backdrop.empty())
        options.backdrop = texts.backdrop;
    options.mode = modeOf(texts);
    if (texts.watch && !options.is<WindowOptions>() && !options.is<LiveOptions>())
        return usageError("--watch needs --window or --live");
    if (!texts.speak.empty()) {
        if (!options.takesCommands() && !options.is<WindowOptions>())
            return usageError("--speak needs --script, --protocol or --window");
        options.speech = texts.speak;
    }
    return options;
}

}

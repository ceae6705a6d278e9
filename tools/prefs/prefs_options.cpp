#include "prefs_options.h"

#include "command_line.h"
#include "demo_phone_location.h"
#include "help_text.h"
#include "setting_value.h"
#include "settings_keys.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>
#include <sstream>

#ifndef KAVRIN_VERSION
#error "KAVRIN_VERSION comes from the project's version"
#endif

namespace kavrin::prefs {

using namespace phone_files;

namespace {

constexpr const char* kUsageLine =
    "usage: kavrin-prefs [--root DIR] [--xml | --binary] [--no-notify] [--force] [--create]\n"
    "                    get KEY | set KEY VALUE | unset KEY | list | keys\n";

constexpr const char* kFooter =
    "\nset takes the keys above, a boolean as true/false/yes/no/1/0 in any case (stored as a boolean) and\n"
    "an integer as decimal digits with an optional sign, within 32 bits (stored as an integer); any\n"
    "other key or value is refused. With --force it\n"
    "stores any key with VALUE typed from the text: true/false a boolean, an integer a number, anything\n"
    "else (or \"text\") a text. A VALUE that starts with - follows --: set KEY -- -x.\n"
    "get and list print every kind of value on one line, texts with control characters quoted and\n"
    "escaped (\\n, \\t, \\xHH) so that what get prints, set --force takes back; integers in full (up\n"
    "to 2^64-1), dates in ISO 8601 in UTC (1869-03-01T12:00:00Z), UIDs as UID(7).\n"
    "Changes are made under the settings lock (waited for 5 seconds at most) and are announced to every\n"
    "host on the phone root (unless --no-notify); removing a key that is not there changes and announces\n"
    "nothing. A change edits the one key and writes every other value back as it was, in the file's own\n"
    "format; a file with a value that would not come back as it was is refused whole. Nothing but a\n"
    "regular file in the settings file's place is read or replaced.\n"
    "\nExit status: 0 done; 1 get of a key that is neither set nor read by the widget, get or list of an\n"
    "unreadable settings file, or a failure to write; 2 a usage error, a missing root, a refused key or\n"
    "value, a settings file that would be replaced or changed beyond the key, or a settings lock held\n"
    "too long.\n"
    "\nExamples:\n"
    "  kavrin-prefs --root demo-phone set metroStyle true\n"
    "  kavrin-prefs get tilesAlign        # 0 (not set: the default)\n";

// The settings table, as keys prints it; --help indents it, so that a reader of the help (and
// the man page made from it) takes each key for an entry of its own.
std::string keysTable(std::string_view indent = {})
{
    std::size_t width = 0;
    for (const SettingKey& key : settingKeys())
        width = std::max(width, key.name.size());
    std::string table;
    for (const SettingKey& key : settingKeys()) {
        std::string name(key.name);
        name.resize(width + 2, ' ');
        std::string type(settingTypeName(key.type));
        type.resize(9, ' ');
        std::string fallback = settingValueText(*settingDefault(key));
        fallback.resize(7, ' ');
        table += std::string(indent) + name + type + "default " + fallback + std::string(key.effect) + '\n';
    }
    return table;
}

struct Command {
    std::string_view word;
    PrefsVerb verb;
    std::string_view operands;
};

constexpr Command kCommands[] = {
    { "get", PrefsVerb::Get, "KEY" },
    { "set", PrefsVerb::Set, "KEY VALUE" },
    { "unset", PrefsVerb::Unset, "KEY" },
    { "list", PrefsVerb::List, "nothing" },
    { "keys", PrefsVerb::Keys, "nothing" },
};

constexpr std::size_t kDescriptionColumn = 22;

std::string helpEntry(const std::string& head, const std::string& text)
{
    return support::helpEntry("  " + head, text, kDescriptionColumn);
}

// Lists each command with its operands ("set KEY VALUE"), descriptions wrapped.
class CommandFormatter : public CLI::Formatter {
public:
    std::string make_option(const CLI::Option* option, bool positional) const override
    {
        return helpEntry(make_option_name(option, positional) + make_option_opts(option), make_option_desc(option));
    }

    std::string make_subcommand(const CLI::App* command) const override
    {
        std::string synopsis = command->get_name();
        for (const CLI::Option* operand : command->get_options([](const CLI::Option* option) { return option->get_positional(); }))
            synopsis += " " + operand->get_name();
        return helpEntry(synopsis, command->get_description());
    }
};

// What a parse error means for a person: the command word is the likeliest slip.
std::string usageProblem(const std::vector<std::string>& arguments, const CLI::ParseError& error)
{
    constexpr std::string_view kExpected = "expected get KEY, set KEY VALUE, unset KEY, list or keys";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word == "--root") {
            ++i;
            continue;
        }
        if (word.starts_with("-"))
            continue;
        const auto* command = std::ranges::find(kCommands, word, &Command::word);
        if (command == std::end(kCommands))
            return "unknown command '" + settingKeyText(word) + "'; " + std::string(kExpected);
        if (dynamic_cast<const CLI::RequiredError*>(&error) || dynamic_cast<const CLI::ExtrasError*>(&error))
            return "'" + word + "' takes " + std::string(command->operands) + " (" + error.what() + ")";
        break;
    }
    if (dynamic_cast<const CLI::RequiredError*>(&error) && std::string_view(error.what()).find("ubcommand") != std::string_view::npos)
        return "no command given; " + std::string(kExpected);
    return error.what();
}

struct OptionTexts {
    std::string root;
    bool xml { false };
    bool binary { false };
    bool noNotify { false };
};

std::unique_ptr<CLI::App> makeApp(OptionTexts& texts, PrefsOptions& options)
{
    auto app = std::make_unique<CLI::App>("kavrin-prefs: reads and changes the Kavrin widget's settings on a phone root.", "kavrin-prefs");
    app->set_version_flag("--version", "kavrin-prefs " KAVRIN_VERSION);
    app->add_option("--root", texts.root,
           "the phone root (default: the demo phone: $KAVRIN_DEMO_PHONE, else demo-phone/ of the checkout, or "
           "kavrin/demo-phone in the user's data folder when installed)")
        ->option_text("DIR")
        ->check(CLI::Validator(
            [](std::string& value) -> std::string {
                if (value.empty())
                    return "needs a folder";
                if (value.starts_with("--"))
                    return "needs a folder, not the option " + value.substr(0, value.find('='));
                return {};
            },
            "", ""));
    CLI::Option* xml = app->add_flag("--xml", texts.xml, "writes the file as an XML property list")->option_text(" ");
    app->add_flag("--binary", texts.binary, "writes the file as a binary property list (default: as it was, XML for a new file)")
        ->option_text(" ")
        ->excludes(xml);
    app->add_flag("--no-notify", texts.noNotify, "changes the file without announcing the change")->option_text(" ");
    app->add_flag("--force", options.force,
           "set stores any key with its value typed from the text; set and unset replace an unreadable settings file, "
           "keeping its bytes as NAME.broken-TIMESTAMP beside it")
        ->option_text(" ");
    app->add_flag("--create", options.create, "set and unset may make the phone's folders under a root that has no private/var/mobile")
        ->option_text(" ");
    app->require_subcommand(1);

    CLI::App* get = app->add_subcommand("get",
        "prints the value of KEY; for a key the widget reads that is not set, its default "
        "and that it is the default");
    get->add_option("KEY", options.key, "the setting")->required();
    get->callback([&options] { options.verb = PrefsVerb::Get; });
    CLI::App* set = app->add_subcommand("set", "stores VALUE under KEY, checked against the table below");
    set->add_option("KEY", options.key, "the setting")->required();
    set->add_option("VALUE", options.value, "the value")->required();
    set->callback([&options] { options.verb = PrefsVerb::Set; });
    CLI::App* unset = app->add_subcommand("unset", "removes KEY");
    unset->add_option("KEY", options.key, "the setting")->required();
    unset->callback([&options] { options.verb = PrefsVerb::Unset; });
    CLI::App* list = app->add_subcommand("list", "prints one \"KEY VALUE\" line per key, in key order");
    list->callback([&options] { options.verb = PrefsVerb::List; });
    CLI::App* keys = app->add_subcommand("keys", "prints the keys the widget reads: key, type, default and effect");
    keys->callback([&options] { options.verb = PrefsVerb::Keys; });
    for (CLI::App* command : { get, set, unset, list, keys })
        command->group("Commands");
    app->footer("\nThe keys the widget reads:\n" + keysTable("  ") + kFooter);
    auto formatter = std::make_shared<CommandFormatter>();
    formatter->column_width(kDescriptionColumn);
    formatter->label("Usage", "usage");
    formatter->label("SUBCOMMAND", "COMMAND");
    app->formatter(formatter);
    return app;
}

}

std::string settingsKeysTable()
{
    return keysTable();
}

std::variant<PrefsOptions, PrefsExit> parsePrefsOptions(const std::vector<std::string>& arguments)
{
    OptionTexts texts;
    PrefsOptions options;
    std::unique_ptr<CLI::App> app = makeApp(texts, options);
    const auto usageError = [&arguments](const CLI::ParseError& error) {
        return kPrefsErrors.line(usageProblem(arguments, error)) + kUsageLine + "Run 'kavrin-prefs --help' for every option, command and key.\n";
    };
    if (std::optional<PrefsExit> exit = support::parseCommandLine(*app, arguments, usageError))
        return *exit;
    options.root = texts.root.empty() ? defaultDemoPhoneRoot() : std::filesystem::path(texts.root);
    if (texts.xml)
        options.format = weeapp::sys::PropertyListFormat::Xml;
    if (texts.binary)
        options.format = weeapp::sys::PropertyListFormat::Binary;
    options.notify = !texts.noNotify;
    return options;
}

}

#pragma once

#include "base/exit_status.h"
#include "modes/mode_options.h"
#include "modes/window_session.h"
#include "result.h"
#include "script/script_check.h"
#include "session/command_output.h"
#include "session/host_session.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::host {

class SpeechRecorder;

// Where a mode writes: what it produces, and its failures as they happen.
struct Streams {
    std::ostream& out;
    std::ostream& errors;
};

// The host's six modes, each of one shape: made from its options and what the host prepared for
// it, then run on the started session. run gives the status the host ends with, or the error
// that kept the mode from its work (a status 2 for the host).

// How the script and the protocol carry out their commands.
struct CommandRules {
    bool settingsAsGiven { false };      // --force
    SpeechRecorder* speaker { nullptr }; // with it, each describe that finds an element is spoken
    std::string speechLanguage { "en" };
};

class ScriptMode {
public:
    // The script's lines, each checked; name is how messages name the script.
    ScriptMode(std::vector<ScriptLine>, std::string name, CommandRules);
    Result<ExitStatus> run(HostSession&, const Streams&);

private:
    std::vector<ScriptLine> m_lines;
    std::string m_name;
    CommandRules m_rules;
};

class ProtocolMode {
public:
    // The commands come from standard input; answers is the session's output.
    ProtocolMode(JsonAnswer& answers, CommandRules);
    Result<ExitStatus> run(HostSession&, const Streams&);

private:
    JsonAnswer& m_answers;
    CommandRules m_rules;
};

class DemoMode {
public:
    explicit DemoMode(std::filesystem::path outputFolder);
    Result<ExitStatus> run(HostSession&, const Streams&);

private:
    std::filesystem::path m_folder;
};

class LiveMode {
public:
    LiveMode(std::filesystem::path outputFolder, const LiveOptions&);
    Result<ExitStatus> run(HostSession&, const Streams&);

private:
    std::filesystem::path m_folder;
    LiveOptions m_options;
};

class WindowMode {
public:
    explicit WindowMode(WindowSetup);
    Result<ExitStatus> run(HostSession&, const Streams&);

private:
    WindowSetup m_setup;
};

class GalleryMode {
public:
    explicit GalleryMode(GalleryOptions);
    // Why the gallery cannot be compared with --against's folder, before anything is written.
    static std::optional<std::string> refusal(const GalleryOptions&);
    Result<ExitStatus> run(HostSession&, const Streams&);

private:
    GalleryOptions m_options;
};

}

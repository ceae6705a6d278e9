#include "modes/host_modes.h"

#include "base/interruption.h"
#include "modes/demo_session.h"
#include "modes/gallery_comparison.h"
#include "modes/gallery_session.h"
#include "modes/gallery_states.h"
#include "modes/live_session.h"
#include "script/script_runner.h"

#include <istream>

namespace kavrin::host {

namespace {

void applyRules(ScriptRunner& runner, const CommandRules& rules)
{
    if (rules.speaker)
        runner.speakDescriptionsWith(rules.speaker, rules.speechLanguage);
}

}

ScriptMode::ScriptMode(std::vector<ScriptLine> lines, std::string name, CommandRules rules)
    : m_lines(std::move(lines))
    , m_name(std::move(name))
    , m_rules(std::move(rules))
{
}

Result<ExitStatus> ScriptMode::run(HostSession& session, const Streams& streams)
{
    ScriptRunner runner(session, streams.errors, m_rules.settingsAsGiven);
    applyRules(runner, m_rules);
    return runner.run(m_lines, m_name);
}

ProtocolMode::ProtocolMode(JsonAnswer& answers, CommandRules rules)
    : m_answers(answers)
    , m_rules(std::move(rules))
{
}

Result<ExitStatus> ProtocolMode::run(HostSession& session, const Streams& streams)
{
    ScriptRunner runner(session, streams.errors, m_rules.settingsAsGiven);
    applyRules(runner, m_rules);
    InterruptibleInput input(0);
    std::istream commands(&input);
    return runner.serve(commands, m_answers);
}

DemoMode::DemoMode(std::filesystem::path outputFolder)
    : m_folder(std::move(outputFolder))
{
}

Result<ExitStatus> DemoMode::run(HostSession& session, const Streams& streams)
{
    return DemoSession(session, m_folder, streams.out, streams.errors).run();
}

LiveMode::LiveMode(std::filesystem::path outputFolder, const LiveOptions& options)
    : m_folder(std::move(outputFolder))
    , m_options(options)
{
}

Result<ExitStatus> LiveMode::run(HostSession& session, const Streams& streams)
{
    return runLiveSession(session, m_folder, m_options.watch, streams.out, streams.errors);
}

WindowMode::WindowMode(WindowSetup setup)
    : m_setup(std::move(setup))
{
}

Result<ExitStatus> WindowMode::run(HostSession& session, const Streams& streams)
{
    return runWindowSession(session, m_setup, streams.out, streams.errors);
}

GalleryMode::GalleryMode(GalleryOptions options)
    : m_options(std::move(options))
{
}

std::optional<std::string> GalleryMode::refusal(const GalleryOptions& options)
{
    if (!options.against)
        return std::nullopt;
    return GalleryComparison::refusal(options.folder, *options.against);
}

// A finding of the audit turns a gallery that was written whole into a failure.
Result<ExitStatus> GalleryMode::run(HostSession& session, const Streams& streams)
{
    GallerySession gallery(session, m_options.folder, streams.out, streams.errors);
    gallery.setAudits(m_options.audit);
    Result<ExitStatus> status = gallery.run();
    if (status && *status == ExitStatus::Success && m_options.against)
        status = GalleryComparison(m_options.folder, *m_options.against, m_options.tolerance, session.scale(), session.renderCache().textLayouts(), streams.out,
            streams.errors)
                     .run(galleryStates());
    if (status && *status == ExitStatus::Success && gallery.foundFindings())
        return ExitStatus::Failure;
    return status;
}

}

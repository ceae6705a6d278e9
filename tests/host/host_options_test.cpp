#include "error_reporter.h"
#include "host_options.h"

#include <gtest/gtest.h>

namespace kavrin::host {
namespace {

HostOptions parsed(const std::vector<std::string>& arguments)
{
    auto result = parseHostOptions(arguments);
    const auto* options = std::get_if<HostOptions>(&result);
    if (!options) {
        ADD_FAILURE() << std::get<OptionsExit>(result).text;
        return {};
    }
    return *options;
}

// Each mode's option picks its own alternative, which carries the options that only that mode
// takes; the options every mode shares stay beside it.
TEST(HostOptions, EachModeCarriesItsOwnOptions)
{
    HostOptions demo = parsed({ "--out", "pictures", "--scale", "3" });
    EXPECT_TRUE(demo.is<DemoOptions>());
    EXPECT_TRUE(demo.drawsOnScratch());
    EXPECT_EQ(demo.out, "pictures");
    EXPECT_EQ(demo.scale, 3);

    HostOptions script = parsed({ "--script", "-", "--check", "--force" });
    ASSERT_TRUE(script.is<ScriptOptions>());
    EXPECT_EQ(std::get<ScriptOptions>(script.mode).file, "-");
    EXPECT_TRUE(std::get<ScriptOptions>(script.mode).check);
    EXPECT_TRUE(script.takesCommands());
    EXPECT_TRUE(script.force);

    HostOptions protocol = parsed({ "--protocol", "json", "--speak", "out.wav" });
    EXPECT_TRUE(protocol.is<ProtocolOptions>());
    EXPECT_TRUE(protocol.takesCommands());
    EXPECT_FALSE(protocol.drawsOnScratch());
    EXPECT_EQ(protocol.speech, "out.wav");

    HostOptions live = parsed({ "--live", "--watch" });
    ASSERT_TRUE(live.is<LiveOptions>());
    EXPECT_TRUE(std::get<LiveOptions>(live.mode).watch);
    EXPECT_FALSE(live.drawsOnScratch());

    for (const bool paused : { false, true }) {
        std::vector<std::string> arguments { "--window", "--watch" };
        if (paused)
            arguments.emplace_back("--paused");
        HostOptions window = parsed(arguments);
        ASSERT_TRUE(window.is<WindowOptions>());
        EXPECT_TRUE(std::get<WindowOptions>(window.mode).watch);
        EXPECT_EQ(std::get<WindowOptions>(window.mode).paused, paused);
    }

    const std::string old = ::testing::TempDir();
    HostOptions gallery = parsed({ "--gallery", "new", "--against", old, "--tolerance", "0.25", "--audit" });
    ASSERT_TRUE(gallery.is<GalleryOptions>());
    const auto& galleryOptions = std::get<GalleryOptions>(gallery.mode);
    EXPECT_EQ(galleryOptions.folder, "new");
    EXPECT_EQ(galleryOptions.against, old);
    EXPECT_EQ(galleryOptions.tolerance, 0.25);
    EXPECT_TRUE(galleryOptions.audit);
    EXPECT_TRUE(gallery.drawsOnScratch());
    EXPECT_FALSE(std::get<GalleryOptions>(parsed({ "--gallery", "new" }).mode).against);
}

// A usage error is one reporter's line, with the usage after it: a newline given in an argument
// does not break it.
TEST(HostOptions, UsageErrorsAreOneLineOfTheReporter)
{
    for (const std::vector<std::string>& arguments : { std::vector<std::string> { "--watch" }, { "--seed", "1\n2" }, { "--speak", "x.wav" } }) {
        auto result = parseHostOptions(arguments);
        ASSERT_TRUE(std::holds_alternative<OptionsExit>(result));
        const OptionsExit& exit = std::get<OptionsExit>(result);
        EXPECT_EQ(exit.status, 2);
        EXPECT_TRUE(exit.text.starts_with("kavrin-host: ")) << exit.text;
        EXPECT_TRUE(exit.text.substr(exit.text.find('\n') + 1).starts_with("usage: kavrin-host ")) << exit.text;
    }

    const support::ErrorReporter reporter("tool");
    EXPECT_EQ(reporter.line("a\nb\tc\x01\x7f"), "tool: a\\nb\\tc\\x01\\x7f\n");
    EXPECT_EQ(reporter.line("caf\xc3\xa9"), "tool: caf\xc3\xa9\n");
}

}
}

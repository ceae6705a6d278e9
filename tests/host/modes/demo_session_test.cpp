#include "support/host_harness.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>

namespace kavrin::testing {
namespace {

// The demo's scratch copies of the phone in a temporary folder.
std::size_t scratchCopiesIn(const fs::path& folder)
{
    std::size_t copies = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        copies += entry.path().filename().string().starts_with("kavrin-demo-");
    return copies;
}

// The demo runs on its own copy of the phone: run to its end, or killed by SIGINT, SIGTERM or
// SIGKILL before its first picture, after it or in the middle of the run, it leaves the phone's
// files as they were. SIGINT and SIGTERM end it with 130 and 143, its scratch copy removed, and
// every picture it left is whole, with no temporary file beside them.
TEST(DemoSession, InterruptionsLeaveThePhoneAsItWas)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    TemporaryFolder scratchSpace;
    ScopedEnvironment demoPhone("KAVRIN_DEMO_PHONE", phone.root());
    ScopedEnvironment temporary("TMPDIR", scratchSpace.path().string());
    const std::map<std::string, std::string> before = contentsOf(phone.path());
    ASSERT_TRUE(before.count(PhoneRoot::kSettings));

    TemporaryFolder out;
    {
        InteractiveHost demo({ "--out", out.path().string() });
        std::vector<std::string> lines;
        while (std::optional<std::string> line = demo.readLine())
            lines.push_back(*line);
        EXPECT_EQ(demo.finish(), 0);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "open tel:+491701234567");
        EXPECT_EQ(contentsOf(phone.path()), before);
        EXPECT_EQ(scratchCopiesIn(scratchSpace.path()), 0u);
    }

    // The lines after which the signal comes; 0 is at once.
    for (int signalNumber : { SIGINT, SIGTERM, SIGKILL }) {
        for (int linesFirst : { 0, 1, 8 }) {
            SCOPED_TRACE("signal " + std::to_string(signalNumber) + " after " + std::to_string(linesFirst) + " lines");
            TemporaryFolder pictures;
            InteractiveHost demo({ "--out", pictures.path().string() });
            for (int i = 0; i < linesFirst; ++i)
                ASSERT_TRUE(demo.readLine());
            demo.sendSignal(signalNumber);
            int status = demo.finish();
            EXPECT_EQ(contentsOf(phone.path()), before);
            if (signalNumber == SIGKILL) {
                EXPECT_EQ(status, 128 + SIGKILL);
                continue;
            }
            EXPECT_EQ(status, 128 + signalNumber);
            EXPECT_EQ(scratchCopiesIn(scratchSpace.path()), 0u);
            for (const auto& entry : fs::directory_iterator(pictures.path())) {
                EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
                EXPECT_TRUE(Picture(entry.path()).valid()) << entry.path();
            }
        }
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(scratchSpace.path()))
            if (entry.path().filename().string().starts_with("kavrin-demo-"))
                fs::remove_all(entry.path(), ignored);
    }
}

// A protocol session waiting for its next line, or between lines, ends at SIGINT or SIGTERM with
// 130 or 143 and leaves no temporary file beside the settings it wrote. A script is read whole
// before any line runs, so one interrupted while it is being read has run nothing.
TEST(DemoSession, InterruptedScriptEndsCleanly)
{
    PhoneRoot phone;
    fs::path settings = phone.path() / PhoneRoot::kSettings;
    for (int signalNumber : { SIGINT, SIGTERM }) {
        InteractiveHost host({ "--root", phone.root(), "--protocol", "json" });
        host.send("set showBg true");
        EXPECT_EQ(host.readLine(), "{\"ok\": true}");
        host.send("height");
        EXPECT_EQ(host.readLine(), "{\"ok\": true, \"height\": 110}");
        host.sendSignal(signalNumber);
        EXPECT_EQ(host.finish(), 128 + signalNumber);
        EXPECT_EQ(std::distance(fs::directory_iterator(settings.parent_path()), fs::directory_iterator()), 1);
        EXPECT_EQ(weeapp::sys::count(phone.settings()), 1u);
    }
    for (int signalNumber : { SIGINT, SIGTERM }) {
        PhoneRoot untouched;
        InteractiveHost host({ "--root", untouched.root(), "--script", "-" });
        host.send("set showBg true");
        host.send("height");
        host.sendSignal(signalNumber);
        EXPECT_EQ(host.finish(), 128 + signalNumber);
        EXPECT_FALSE(fs::exists(untouched.path() / PhoneRoot::kSettings));
    }
}

}
}

namespace kavrin::testing {
namespace {

// A picture that cannot be written is said on standard error with the program's name, the same
// in the demo, --live and --gallery, and nothing of it reaches standard output.
TEST(WriteFailures, GoToStandardErrorInEveryMode)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    TemporaryFolder folder;
    // A file where the output folder should be: nothing can be written under it.
    const fs::path blocked = folder.write("blocked", "a file, not a folder");
    const std::vector<std::vector<std::string>> modes {
        { "--out", (blocked / "out").string() },
        { "--live", "--out", (blocked / "out").string() },
        { "--gallery", (blocked / "gallery").string() },
    };
    for (const auto& mode : modes) {
        std::vector<std::string> arguments { "--root", phone.root() };
        arguments.insert(arguments.end(), mode.begin(), mode.end());
        RunResult result = runProgram("kavrin-host", arguments);
        EXPECT_NE(result.status, 0) << mode.front();
        EXPECT_EQ(result.out.find("cannot"), std::string::npos) << mode.front() << ": " << result.out;
        EXPECT_NE(result.err.find("kavrin-host: "), std::string::npos) << mode.front() << ": " << result.err;
    }
}

}
}

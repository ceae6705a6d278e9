#include "support/host_harness.h"

#include <gtest/gtest.h>

#include <csignal>

namespace kavrin::testing {
namespace {

// The live picture is replaced whole: a reader polling it while the widget rebuilds again and
// again (settings changed from another process) always finds a complete PNG, never an empty or
// half-written file, and the picture does follow the changes.
TEST(LiveSession, PictureIsNeverReadHalfWritten)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    TemporaryFolder out;
    InteractiveHost host({ "--root", phone.root(), "--live", "--out", out.path().string(), "--scale", "1" });
    ASSERT_TRUE(host.running());
    std::optional<std::string> ready = host.readLine();
    ASSERT_TRUE(ready && ready->starts_with("showing the widget")) << ready.value_or("(nothing)");

    const fs::path live = out.path() / "live.png";
    int reads = 0, heights = 0;
    int lastHeight = Picture(live).height();
    for (int change = 0; change < 6; ++change) {
        RunResult prefs = runProgram("kavrin-prefs", { "--root", phone.root(), "set", "metroStyle", change % 2 == 0 ? "true" : "false" });
        ASSERT_EQ(prefs.status, 0) << prefs.err;
        // Read while the host takes the change in and draws it, until it says it rebuilt.
        for (int i = 0; i < 200; ++i, ++reads) {
            Picture picture(live);
            ASSERT_TRUE(picture.valid()) << "read " << reads << " found " << readFile(live).size() << " bytes";
        }
        std::optional<std::string> rebuilt = host.readLine();
        ASSERT_EQ(rebuilt.value_or("(nothing)"), "rebuilt");
        for (int i = 0; i < 50; ++i, ++reads) {
            Picture picture(live);
            ASSERT_TRUE(picture.valid()) << "read " << reads;
            if (picture.height() != lastHeight) {
                lastHeight = picture.height();
                ++heights;
            }
        }
    }
    EXPECT_GT(heights, 0) << "the picture never followed a change";
    host.signal(SIGTERM);
    EXPECT_EQ(host.finish(), 128 + SIGTERM);
    // Nothing is left beside the picture.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(out.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

// With --watch the live picture follows a replaced favorites list, as the window does: the
// widget is reloaded (said once its picture is there) without any change of the settings.
TEST(LiveSession, WatchFollowsAReplacedFavoritesList)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    TemporaryFolder out;
    InteractiveHost host({ "--root", phone.root(), "--live", "--watch", "--out", out.path().string(), "--scale", "1" });
    std::optional<std::string> ready = host.readLine();
    ASSERT_TRUE(ready && ready->starts_with("showing the widget")) << ready.value_or("(nothing)");
    const std::string before = readFile(out.path() / "live.png");
    phone.writeFavorites({ favorite("Anna Lindqvist", 1, "mobile", "+491701234567") });
    EXPECT_EQ(host.readLine().value_or("(nothing)"), "reloaded");
    EXPECT_NE(readFile(out.path() / "live.png"), before);
    host.signal(SIGTERM);
    EXPECT_EQ(host.finish(), 128 + SIGTERM);

    EXPECT_EQ(runProgram("kavrin-host", { "--root", phone.root(), "--script", "-", "--watch" }).status, 2);
}

}
}

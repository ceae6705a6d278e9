#include "desktop/desktop_module.h"
#include "reader/speech_recorder.h"

#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace kavrin::testing {
namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// What cannot be used is told with the loader's reason: a file that is not there, one that is
// no shared object, and a shared object without the entry points.
TEST(DesktopModule, TellsWhyAFileIsNoModule)
{
    kavrin::testing::TemporaryFolder folder;
    auto missing = host::DesktopModule::load(folder.path() / "kavrin-host-desktop.so");
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(contains(missing.error(), "cannot load the desktop module")) << missing.error();
    EXPECT_TRUE(contains(missing.error(), (folder.path() / "kavrin-host-desktop.so").string())) << missing.error();
    EXPECT_TRUE(contains(missing.error(), "No such file")) << missing.error();

    auto text = host::DesktopModule::load(folder.write("/text.so", "not a shared object"));
    ASSERT_FALSE(text.ok());
    EXPECT_TRUE(contains(text.error(), "cannot load the desktop module")) << text.error();

    auto other = host::DesktopModule::load(KAVRIN_PLATFORM_LIBRARY);
    ASSERT_FALSE(other.ok());
    EXPECT_TRUE(contains(other.error(), "cannot use the desktop module")) << other.error();
    EXPECT_TRUE(contains(other.error(), "kavrinDesktopInterfaceVersion")) << other.error();
}

// The built module speaks: a recorder on its synthesizer records a second or so of sound for a
// short English sentence.
TEST(DesktopModule, BuiltModuleSpeaks)
{
    auto module = host::DesktopModule::load(KAVRIN_DESKTOP_MODULE);
    ASSERT_TRUE(module.ok()) << module.error();
    std::unique_ptr<host::SpeechSynthesizer> synthesizer = module->startSynthesizer();
    ASSERT_TRUE(synthesizer);
    auto recorder = host::SpeechRecorder::create(std::move(synthesizer), "en-GB");
    ASSERT_TRUE(recorder.ok()) << recorder.error();
    const std::vector<std::int16_t> speech = (*recorder)->speak("Anna Berger, calls");
    const int rate = (*recorder)->sampleRate();
    EXPECT_GT(rate, 8000);
    EXPECT_GT(speech.size(), static_cast<std::size_t>(rate / 2));
    const auto loud = std::count_if(speech.begin(), speech.end(), [](std::int16_t sample) { return std::abs(sample) > 1000; });
    EXPECT_GT(loud, rate / 10);
}

}
}

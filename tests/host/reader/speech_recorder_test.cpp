#include "reader/speech_recorder.h"
#include "support/host_harness.h"

#include "support/temporary_folder.h"

#include <gtest/gtest.h>

namespace kavrin::testing {
namespace {

// A synthesizer with the voices it is given, noting every voice asked for; it speaks a text as
// one loud sample per byte.
class CountingSynthesizer : public host::SpeechSynthesizer {
public:
    CountingSynthesizer(std::vector<std::string> voices, std::vector<std::string>& asked)
        : m_voices(std::move(voices))
        , m_asked(asked) { }

    int sampleRate() const override { return 10; }
    bool selectVoice(const std::string& language) override
    {
        m_asked.push_back(language);
        return std::ranges::find(m_voices, language) != m_voices.end();
    }
    std::vector<std::int16_t> speak(const std::string& text) override { return std::vector<std::int16_t>(text.size(), 5000); }

private:
    std::vector<std::string> m_voices;
    std::vector<std::string>& m_asked;
};

// The voice of the whole code, lower-cased, then of its language part, then English; with none
// of them, or without a synthesizer, no recorder.
TEST(SpeechRecorder, VoiceFallsBackToTheLanguageThenEnglish)
{
    using Asked = std::vector<std::string>;
    struct Case {
        std::vector<std::string> voices;
        Asked asked;
    };
    for (const Case& known : { Case { { "de-at", "de" }, { "de-at" } }, Case { { "de", "en" }, { "de-at", "de" } },
             Case { { "en" }, { "de-at", "de", "en" } } }) {
        Asked asked;
        auto recorder = host::SpeechRecorder::create(std::make_unique<CountingSynthesizer>(known.voices, asked), "de-AT");
        EXPECT_TRUE(recorder.ok());
        EXPECT_EQ(asked, known.asked);
    }
    Asked asked;
    auto voiceless = host::SpeechRecorder::create(std::make_unique<CountingSynthesizer>(std::vector<std::string> { "fr" }, asked), "de-AT");
    ASSERT_FALSE(voiceless.ok());
    EXPECT_EQ(voiceless.error(), "the speech synthesizer has no voice");
    auto unstarted = host::SpeechRecorder::create(nullptr, "en");
    ASSERT_FALSE(unstarted.ok());
    EXPECT_EQ(unstarted.error(), "the speech synthesizer cannot start");
}

// Utterances follow one another with 0.3 s of silence between (none before the first); an empty
// text adds nothing. The WAV file holds exactly the recording, at the synthesizer's rate, and a
// folder in the file's place stays as it was.
TEST(SpeechRecorder, RecordsUtterancesWithPausesIntoOneWav)
{
    std::vector<std::string> asked;
    auto created = host::SpeechRecorder::create(std::make_unique<CountingSynthesizer>(std::vector<std::string> { "en" }, asked), "en");
    ASSERT_TRUE(created.ok());
    host::SpeechRecorder& recorder = **created;
    EXPECT_EQ(recorder.speak("ab").size(), 2u);
    EXPECT_TRUE(recorder.speak("").empty());
    EXPECT_EQ(recorder.speak("c").size(), 1u);
    const std::vector<std::int16_t> expected { 5000, 5000, 0, 0, 0, 5000 };
    EXPECT_EQ(recorder.samples(), expected);

    kavrin::testing::TemporaryFolder folder;
    const fs::path file = folder.path() / "speech.wav";
    folder.write("/speech.wav", "an older recording");
    ASSERT_TRUE(recorder.writeWav(file).ok());
    const std::optional<Wav> wav = readWav(file);
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->sampleRate, 10);
    EXPECT_EQ(wav->samples, expected);

    fs::create_directory(folder.path() / "taken");
    EXPECT_FALSE(recorder.writeWav(folder.path() / "taken").ok());
    EXPECT_TRUE(fs::is_directory(folder.path() / "taken"));
}

}
}

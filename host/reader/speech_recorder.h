#pragma once

#include "desktop/interface/desktop_interface.h"
#include "result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kavrin::host {

// Speaks texts through the synthesizer, one after the other with a short pause between, into
// memory, and writes them at the end as one 16-bit mono WAV file.
class SpeechRecorder {
public:
    // The synthesizer in the voice of the language ("de", "de-AT", ...: the whole code, then its
    // language part, then English), or why it cannot speak (no synthesizer: it did not start).
    static Result<std::unique_ptr<SpeechRecorder>> create(std::unique_ptr<SpeechSynthesizer>, const std::string& language);
    ~SpeechRecorder() = default;
    SpeechRecorder(const SpeechRecorder&) = delete;
    SpeechRecorder& operator=(const SpeechRecorder&) = delete;

    // Adds the text's speech to the recording and gives those samples (without the pause before
    // them); an empty text says nothing.
    std::vector<std::int16_t> speak(const std::string& text);

    int sampleRate() const { return m_synthesizer->sampleRate(); }
    const std::vector<std::int16_t>& samples() const { return m_samples; }

    // Replaces the file in one step; the file stays as it was when it cannot be written or
    // something other than a regular file is in its place.
    Result<void> writeWav(const std::filesystem::path&) const;

private:
    explicit SpeechRecorder(std::unique_ptr<SpeechSynthesizer> synthesizer)
        : m_synthesizer(std::move(synthesizer)) { }

    std::unique_ptr<SpeechSynthesizer> m_synthesizer;
    std::vector<std::int16_t> m_samples;
};

// A WAV file's bytes: RIFF header, 16-bit mono PCM at the rate.
std::string wavBytes(const std::vector<std::int16_t>& samples, int sampleRate);

}

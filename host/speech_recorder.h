#pragma once

#include "result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kavrin::host {

// Speaks texts through espeak-ng, one after the other with a short pause between, into memory,
// and writes them at the end as one 16-bit mono WAV file. Only one recorder can exist at a time:
// the synthesizer is one per process.
class SpeechRecorder {
public:
    // The voice of the language ("de", "de-AT", ...: the whole code, then its language part,
    // then English), or why the synthesizer cannot start.
    static Result<std::unique_ptr<SpeechRecorder>> create(const std::string& language);
    ~SpeechRecorder();
    SpeechRecorder(const SpeechRecorder&) = delete;
    SpeechRecorder& operator=(const SpeechRecorder&) = delete;

    // Adds the text's speech to the recording and gives those samples (without the pause before
    // them); an empty text says nothing.
    std::vector<std::int16_t> speak(const std::string& text);

    int sampleRate() const { return m_sampleRate; }
    const std::vector<std::int16_t>& samples() const { return m_samples; }

    // Replaces the file in one step; the file stays as it was when it cannot be written or
    // something other than a regular file is in its place.
    Result<void> writeWav(const std::filesystem::path&) const;

private:
    explicit SpeechRecorder(int sampleRate) : m_sampleRate(sampleRate) { }
    static int receiveSamples(short* samples, int count, void* events);

    int m_sampleRate;
    std::vector<std::int16_t> m_samples;
};

// A WAV file's bytes: RIFF header, 16-bit mono PCM at the rate.
std::string wavBytes(const std::vector<std::int16_t>& samples, int sampleRate);

}

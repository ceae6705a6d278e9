#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace kavrin::host {

// Plays speech on the desktop's sound device, one utterance at a time: a new one cuts off the
// one still playing, as a screen reader does when the finger moves on.
class SpeechPlayer {
public:
    // The default sound device for 16-bit mono samples at the rate, or nothing when there is no
    // device to play on.
    static std::unique_ptr<SpeechPlayer> open(int sampleRate);
    ~SpeechPlayer();
    SpeechPlayer(const SpeechPlayer&) = delete;
    SpeechPlayer& operator=(const SpeechPlayer&) = delete;

    void play(const std::vector<std::int16_t>& samples);

private:
    explicit SpeechPlayer(std::uint32_t device) : m_device(device) { }
    std::uint32_t m_device;
};

}

// Speech out loud on SDL's default sound device.

#include "desktop_interface.h"

#include <SDL.h>

namespace kavrin::host {

namespace {

class SdlSpeechPlayer final : public SpeechPlayer {
public:
    explicit SdlSpeechPlayer(SDL_AudioDeviceID device)
        : m_device(device)
    {
    }
    ~SdlSpeechPlayer() override
    {
        SDL_CloseAudioDevice(m_device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    SdlSpeechPlayer(const SdlSpeechPlayer&) = delete;
    SdlSpeechPlayer& operator=(const SdlSpeechPlayer&) = delete;

    void play(const std::vector<std::int16_t>& samples) override
    {
        SDL_ClearQueuedAudio(m_device);
        if (!samples.empty())
            SDL_QueueAudio(m_device, samples.data(), static_cast<Uint32>(samples.size() * sizeof(std::int16_t)));
    }

private:
    SDL_AudioDeviceID m_device;
};

}

}

extern "C" kavrin::host::SpeechPlayer* kavrinDesktopOpenSpeechPlayer(int sampleRate)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    SDL_AudioSpec wanted {};
    wanted.freq = sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = 1024;
    // No callback: the samples are queued, and SDL converts them if the device wants another
    // rate or format.
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_PauseAudioDevice(device, 0);
    return new kavrin::host::SdlSpeechPlayer(device);
}

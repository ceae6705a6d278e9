// Speech out loud on SDL's default sound device.

#include "desktop_interface.h"

#include <SDL.h>

#include <dlfcn.h>

namespace kavrin::host {

namespace {

// The sound library's own error printer, as it declares it.
using SoundLibraryErrorHandler = void (*)(const char* file, int line, const char* function, int error, const char* format, ...);

void sayNothing(const char*, int, const char*, int, const char*, ...) { }

// Without a sound card the sound library that SDL loads prints a screenful of its own errors to
// standard error; the host says once that there is no sound device, so the library is told to
// say nothing. The library stays loaded (SDL finds this same copy), so the setting holds.
void silenceTheSoundLibrary()
{
    void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return;
    using SetHandler = int (*)(SoundLibraryErrorHandler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(library, "snd_lib_error_set_handler")))
        set(sayNothing);
}

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
    kavrin::host::silenceTheSoundLibrary();
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

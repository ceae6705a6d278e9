// Speech through espeak-ng, synthesized in this thread into memory.

#include "desktop_interface.h"

#include <espeak-ng/speak_lib.h>

namespace kavrin::host {

namespace {

class EspeakSynthesizer final : public SpeechSynthesizer {
public:
    explicit EspeakSynthesizer(int sampleRate)
        : m_sampleRate(sampleRate)
    {
        espeak_SetSynthCallback(receiveSamples);
    }
    ~EspeakSynthesizer() override { espeak_Terminate(); }
    EspeakSynthesizer(const EspeakSynthesizer&) = delete;
    EspeakSynthesizer& operator=(const EspeakSynthesizer&) = delete;

    int sampleRate() const override { return m_sampleRate; }

    bool selectVoice(const std::string& language) override
    {
        espeak_VOICE voice {};
        voice.languages = language.c_str();
        return espeak_SetVoiceByProperties(&voice) == EE_OK;
    }

    std::vector<std::int16_t> speak(const std::string& text) override
    {
        m_samples.clear();
        espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, this);
        espeak_Synchronize();
        return std::move(m_samples);
    }

private:
    static int receiveSamples(short* samples, int count, espeak_EVENT* events)
    {
        auto* synthesizer = events ? static_cast<EspeakSynthesizer*>(events->user_data) : nullptr;
        if (synthesizer && samples && count > 0)
            synthesizer->m_samples.insert(synthesizer->m_samples.end(), samples, samples + count);
        return 0;
    }

    int m_sampleRate;
    std::vector<std::int16_t> m_samples;
};

}

}

extern "C" kavrin::host::SpeechSynthesizer* kavrinDesktopStartSynthesizer()
{
    const int sampleRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (sampleRate <= 0)
        return nullptr;
    return new kavrin::host::EspeakSynthesizer(sampleRate);
}

#include "speech_recorder.h"

#include "sys/file_writing.h"

#include <espeak-ng/speak_lib.h>

#include <cctype>

namespace kavrin::host {

namespace {

constexpr double kPauseSeconds = 0.3;

bool selectVoice(const std::string& language)
{
    espeak_VOICE voice { };
    voice.languages = language.c_str();
    return espeak_SetVoiceByProperties(&voice) == EE_OK;
}

std::string lowerCase(std::string text)
{
    for (char& character : text)
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    return text;
}

void appendLittleEndian(std::string& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

}

Result<std::unique_ptr<SpeechRecorder>> SpeechRecorder::create(const std::string& language)
{
    const int sampleRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (sampleRate <= 0)
        return Error { "the speech synthesizer cannot start" };
    const std::string code = lowerCase(language);
    if (!selectVoice(code) && !selectVoice(code.substr(0, code.find('-'))) && !selectVoice("en")) {
        espeak_Terminate();
        return Error { "the speech synthesizer has no voice" };
    }
    espeak_SetSynthCallback([](short* samples, int count, espeak_EVENT* events) { return receiveSamples(samples, count, events); });
    return std::unique_ptr<SpeechRecorder>(new SpeechRecorder(sampleRate));
}

SpeechRecorder::~SpeechRecorder()
{
    espeak_Terminate();
}

int SpeechRecorder::receiveSamples(short* samples, int count, void* events)
{
    auto* event = static_cast<espeak_EVENT*>(events);
    auto* recorder = event ? static_cast<SpeechRecorder*>(event->user_data) : nullptr;
    if (recorder && samples && count > 0)
        recorder->m_samples.insert(recorder->m_samples.end(), samples, samples + count);
    return 0;
}

std::vector<std::int16_t> SpeechRecorder::speak(const std::string& text)
{
    if (text.empty())
        return { };
    if (!m_samples.empty())
        m_samples.resize(m_samples.size() + static_cast<std::size_t>(kPauseSeconds * m_sampleRate), 0);
    const std::size_t start = m_samples.size();
    espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, this);
    espeak_Synchronize();
    return { m_samples.begin() + static_cast<std::ptrdiff_t>(start), m_samples.end() };
}

Result<void> SpeechRecorder::writeWav(const std::filesystem::path& file) const
{
    std::error_code ignored;
    const auto status = std::filesystem::symlink_status(file, ignored);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return Error { file.string() + " is not a regular file; it is left as it is" };
    if (!sys::writeFileAtomically(file.string(), wavBytes(m_samples, m_sampleRate)))
        return Error { "cannot write " + file.string() };
    return {};
}

std::string wavBytes(const std::vector<std::int16_t>& samples, int sampleRate)
{
    constexpr std::uint32_t kHeaderSize = 44;
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    std::string bytes;
    bytes.reserve(kHeaderSize + dataSize);
    bytes += "RIFF";
    appendLittleEndian(bytes, kHeaderSize - 8 + dataSize, 4);
    bytes += "WAVEfmt ";
    appendLittleEndian(bytes, 16, 4); // the format block's size
    appendLittleEndian(bytes, 1, 2);  // PCM
    appendLittleEndian(bytes, 1, 2);  // mono
    appendLittleEndian(bytes, rate, 4);
    appendLittleEndian(bytes, rate * 2, 4); // bytes a second
    appendLittleEndian(bytes, 2, 2);        // bytes a frame
    appendLittleEndian(bytes, 16, 2);       // bits a sample
    bytes += "data";
    appendLittleEndian(bytes, dataSize, 4);
    for (std::int16_t sample : samples)
        appendLittleEndian(bytes, static_cast<std::uint16_t>(sample), 2);
    return bytes;
}

}

#include "reader/speech_recorder.h"

#include <weeapp/sys/files/file_writing.h>

#include <cctype>

namespace kavrin::host {

namespace {

constexpr double kPauseSeconds = 0.3;

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

Result<std::unique_ptr<SpeechRecorder>> SpeechRecorder::create(std::unique_ptr<SpeechSynthesizer> synthesizer, const std::string& language)
{
    if (!synthesizer)
        return Error { "the speech synthesizer cannot start" };
    const std::string code = lowerCase(language);
    if (!synthesizer->selectVoice(code) && !synthesizer->selectVoice(code.substr(0, code.find('-'))) && !synthesizer->selectVoice("en"))
        return Error { "the speech synthesizer has no voice" };
    return std::unique_ptr<SpeechRecorder>(new SpeechRecorder(std::move(synthesizer)));
}

std::vector<std::int16_t> SpeechRecorder::speak(const std::string& text)
{
    if (text.empty())
        return {};
    std::vector<std::int16_t> speech = m_synthesizer->speak(text);
    if (!m_samples.empty())
        m_samples.resize(m_samples.size() + static_cast<std::size_t>(kPauseSeconds * sampleRate()), 0);
    m_samples.insert(m_samples.end(), speech.begin(), speech.end());
    return speech;
}

Result<void> SpeechRecorder::writeWav(const std::filesystem::path& file) const
{
    std::error_code ignored;
    const auto status = std::filesystem::symlink_status(file, ignored);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return Error { file.string() + " is not a regular file; it is left as it is" };
    if (!weeapp::sys::writeFileAtomically(file.string(), wavBytes(m_samples, sampleRate())))
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

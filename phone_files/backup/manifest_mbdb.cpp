#include "manifest_mbdb.h"

#include "backup_file_id.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace kavrin::phone_files {

namespace {

constexpr std::string_view kHeader { "mbdb\x05\x00", 6 };
// A string's length that stands for no string.
constexpr std::uint16_t kAbsent = 0xFFFF;

// Reads size bytes, big-endian, into value; false when the stream ends first.
template<typename Number>
bool readNumber(std::istream& in, Number& value)
{
    std::array<unsigned char, sizeof(Number)> bytes;
    if (!in.read(reinterpret_cast<char*>(bytes.data()), bytes.size()))
        return false;
    std::uint64_t result = 0;
    for (unsigned char byte : bytes)
        result = (result << 8) | byte;
    value = static_cast<Number>(result);
    return true;
}

bool readString(std::istream& in, std::string& text)
{
    std::uint16_t length = 0;
    if (!readNumber(in, length))
        return false;
    text.clear();
    if (length == kAbsent)
        return true;
    text.resize(length);
    return static_cast<bool>(in.read(text.data(), length));
}

}

Result<std::optional<MbdbRecord>> MbdbReader::next()
{
    if (!m_started) {
        std::string header(kHeader.size(), '\0');
        if (!m_in.read(header.data(), static_cast<std::streamsize>(header.size())) || header != kHeader)
            return Error { "the backup's index is no index of files (its header is wrong)" };
        m_started = true;
    }
    if (m_in.peek() == std::char_traits<char>::eof())
        return std::optional<MbdbRecord>();

    MbdbRecord record;
    std::string ignored;
    std::uint64_t inode = 0;
    std::uint32_t owner = 0, time = 0;
    std::uint8_t protection = 0, properties = 0;
    bool whole = readString(m_in, record.domain) && readString(m_in, record.path);
    for (int i = 0; whole && i < 3; ++i) // link target, data hash, encryption key
        whole = readString(m_in, ignored);
    whole = whole && readNumber(m_in, record.mode) && readNumber(m_in, inode) && readNumber(m_in, owner) && readNumber(m_in, owner);
    for (int i = 0; whole && i < 3; ++i)
        whole = readNumber(m_in, time);
    whole = whole && readNumber(m_in, record.size) && readNumber(m_in, protection) && readNumber(m_in, properties);
    for (int i = 0; whole && i < 2 * properties; ++i)
        whole = readString(m_in, ignored);
    if (!whole)
        return Error { "the backup's index ends inside a record" };
    return std::optional<MbdbRecord>(std::move(record));
}

Result<std::map<std::string, BackupEntry>> ManifestMbdb::findFiles(std::string_view domain, std::span<const std::string> relativePaths)
{
    std::ifstream in(m_file, std::ios::binary);
    if (!in)
        return Error { "cannot read the backup's index " + m_file.string() };
    MbdbReader reader(in);
    std::map<std::string, BackupEntry> found;
    while (found.size() < relativePaths.size()) {
        Result<std::optional<MbdbRecord>> record = reader.next();
        if (!record)
            return Error { record.error() };
        if (!*record)
            break;
        const MbdbRecord& entry = **record;
        if (entry.domain != domain || !entry.isFile() || std::ranges::find(relativePaths, entry.path) == relativePaths.end())
            continue;
        found.try_emplace(entry.path, BackupEntry { backupFileId(entry.domain, entry.path), entry.size });
    }
    return found;
}

}

#include "backup_file_id.h"

#include <nettle/sha1.h>

#include <array>
#include <cstdint>

namespace kavrin::phone_files {

std::string backupFileId(std::string_view domain, std::string_view relativePath)
{
    sha1_ctx context;
    sha1_init(&context);
    sha1_update(&context, domain.size(), reinterpret_cast<const std::uint8_t*>(domain.data()));
    sha1_update(&context, 1, reinterpret_cast<const std::uint8_t*>("-"));
    sha1_update(&context, relativePath.size(), reinterpret_cast<const std::uint8_t*>(relativePath.data()));
    std::array<std::uint8_t, SHA1_DIGEST_SIZE> digest;
    sha1_digest(&context, digest.size(), digest.data());
    constexpr const char* kHex = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : digest) {
        text += kHex[byte >> 4];
        text += kHex[byte & 0xf];
    }
    return text;
}

}

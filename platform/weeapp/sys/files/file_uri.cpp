#include <weeapp/sys/files/file_uri.h>

namespace weeapp::sys {

namespace {

bool standsAsItIs(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || byte == '/' || byte == '-'
        || byte == '.' || byte == '_' || byte == '~';
}

}

std::string fileUri(const std::filesystem::path& path, std::string_view query)
{
    constexpr const char* kHex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (const unsigned char byte : path.native()) {
        if (standsAsItIs(byte)) {
            uri += static_cast<char>(byte);
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        }
    }
    if (!query.empty())
        uri.append("?").append(query);
    return uri;
}

}

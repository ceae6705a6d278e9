// Any bytes as the older index of a phone's backup and as one file record of the newer index: the
// index is read record by record to its end or to the error that stops it, every length within
// the bytes; the record gives a size or nothing.
#include "backup/file_record.h"
#include "backup/manifest_mbdb.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes);
    kavrin::phone_files::MbdbReader reader(in);
    // Each record takes at least its fixed 40 bytes and five lengths, so the records end.
    std::size_t records = 0;
    while (true) {
        kavrin::Result<std::optional<kavrin::phone_files::MbdbRecord>> record = reader.next();
        if (!record || !*record)
            break;
        if ((*record)->domain.size() >= 0xFFFF || (*record)->path.size() >= 0xFFFF || ++records * 50 > size)
            std::abort();
    }
    if (const auto file = kavrin::phone_files::decodeFileRecord(bytes); file && file->relativePath.size() > size)
        std::abort();
    return 0;
}

#include "phone_root_check.h"

namespace kavrin::phone_files {

namespace fs = std::filesystem;

bool looksLikePhoneRoot(const fs::path& root)
{
    std::error_code ignored;
    return fs::is_directory(root / fs::path(kPhoneUserFolder).relative_path(), ignored);
}

}

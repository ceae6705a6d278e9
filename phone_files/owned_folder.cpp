#include "owned_folder.h"

#include <cstdlib>

namespace kavrin::phone_files {

OwnedFolder OwnedFolder::make(std::string pattern)
{
    OwnedFolder folder;
    if (::mkdtemp(pattern.data()))
        folder.m_path = std::move(pattern);
    return folder;
}

OwnedFolder& OwnedFolder::operator=(OwnedFolder&& other) noexcept
{
    if (this != &other) {
        OwnedFolder going(std::move(*this));
        m_path = std::exchange(other.m_path, {});
    }
    return *this;
}

OwnedFolder::~OwnedFolder()
{
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}

}

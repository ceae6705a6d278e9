#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace kavrin::testing {

// A fresh folder under the system's temporary directory, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kavrin-test-XXXXXX").string();
        if (char* made = ::mkdtemp(pattern.data()))
            m_path = made;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    // Writes bytes at a path inside the folder (a leading "/" counts from the folder), making the
    // folders on the way.
    std::filesystem::path write(const std::filesystem::path& relative, std::string_view bytes) const
    {
        std::filesystem::path target = m_path / relative.relative_path();
        std::filesystem::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return target;
    }

private:
    std::filesystem::path m_path;
};

// A file's bytes; empty when it cannot be read.
inline std::string fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

}

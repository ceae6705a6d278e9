#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kavrin::fuzzing {

// A folder of this process's own under the temporary folder, made with an unpredictable name and
// removed with everything in it when the process ends (a crash leaves it for the inquiry).
class ProcessFolder {
public:
    explicit ProcessFolder(const std::string& prefix)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
        if (char* made = ::mkdtemp(pattern.data()))
            m_path = made;
        else
            std::abort();
    }
    ~ProcessFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ProcessFolder(const ProcessFolder&) = delete;
    ProcessFolder& operator=(const ProcessFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// The one folder of a fuzz target's process, made at the first call.
inline const std::filesystem::path& processFolder(const std::string& prefix)
{
    static const ProcessFolder folder(prefix);
    return folder.path();
}

}

#include "sys/phone_root.h"

namespace sys {

namespace {

std::filesystem::path& currentRoot()
{
    static std::filesystem::path root { "/" };
    return root;
}

}

void setPhoneRoot(std::filesystem::path root)
{
    currentRoot() = root.empty() ? std::filesystem::path("/") : std::move(root);
}

const std::filesystem::path& phoneRoot()
{
    return currentRoot();
}

std::string resolvePhonePath(std::string_view phonePath)
{
    std::filesystem::path path { phonePath };
    if (!path.is_absolute())
        return std::string(phonePath);
    // Resolve "." and ".." the way the phone would below its own "/", so that no phone path
    // leads out of the root.
    std::filesystem::path inside;
    for (const auto& part : path.relative_path().lexically_normal()) {
        if (part == "..")
            continue;
        inside /= part;
    }
    if (phonePath.ends_with('/') && !inside.empty())
        inside /= "";
    return (currentRoot() / inside).string();
}

}

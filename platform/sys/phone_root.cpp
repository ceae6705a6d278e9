#include <weeapp/sys/phone_root.h>

#include <weeapp/platform_objects.h>

namespace sys {

namespace {

std::filesystem::path& currentRoot()
{
    return weeapp::currentObjects().phoneRoot;
}

// An absolute path of plain names ("/a/b.plist": no ".", "..", empty part or trailing slash),
// which the general rule in resolvePhonePath leaves as it is.
bool isPlainAbsolutePath(std::string_view path)
{
    if (path.size() < 2 || path.front() != '/' || path.back() == '/')
        return false;
    std::size_t start = 1;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
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
    // The widget resolves its fixed, plain paths at every lookup: join them without the path
    // arithmetic, to the same text.
    if (isPlainAbsolutePath(phonePath)) {
        const std::string& root = currentRoot().native();
        std::string resolved;
        resolved.reserve(root.size() + phonePath.size());
        resolved += root;
        if (!resolved.empty() && resolved.back() == '/')
            resolved.pop_back();
        resolved += phonePath;
        return resolved;
    }
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

#include "scratch_phone.h"

#include "kavrin/published_names.h"
#include <weeapp/sys/files/phone_paths.h>

namespace kavrin::phone_files {

namespace fs = std::filesystem;

namespace {

fs::path under(const fs::path& root, std::string_view phonePath)
{
    return root / fs::path(phonePath).relative_path();
}

// A regular file (or a link to one) is copied; anything else, or nothing, is passed over, as the
// widget would pass over it.
bool copyFileIfRegular(const fs::path& from, const fs::path& to, std::error_code& error)
{
    if (!fs::is_regular_file(from, error)) {
        error.clear();
        return true;
    }
    fs::create_directories(to.parent_path(), error);
    return !error && fs::copy_file(from, to, error);
}

bool copyPhone(const fs::path& from, const fs::path& to, std::error_code& error)
{
    if (!copyFileIfRegular(under(from, weeapp::sys::kFavoritesPath), under(to, weeapp::sys::kFavoritesPath), error)
        || !copyFileIfRegular(under(from, kSettingsPath), under(to, kSettingsPath), error))
        return false;
    // The databases with their journals and write-ahead logs, whatever their names.
    // A phone without the folder has no address book, as the widget finds it.
    fs::path addressBook = under(from, weeapp::sys::kAddressBookPath).parent_path();
    const bool hasAddressBook = fs::is_directory(addressBook, error);
    error.clear();
    if (hasAddressBook) {
        for (const fs::directory_entry& entry : fs::directory_iterator(addressBook, error))
            if (!copyFileIfRegular(entry.path(), under(to, weeapp::sys::kAddressBookPath).parent_path() / entry.path().filename(), error))
                return false;
        if (error)
            return false;
    }
    fs::path bundle = under(from, kBundlePath).parent_path();
    if (!fs::exists(bundle, error)) {
        error.clear();
        return true;
    }
    fs::path link = under(to, kBundlePath).parent_path();
    fs::create_directories(link.parent_path(), error);
    if (!error)
        fs::create_directory_symlink(fs::canonical(bundle, error), link, error);
    return !error;
}

}

Result<std::unique_ptr<ScratchPhone>> ScratchPhone::copyOf(const fs::path& root)
{
    std::error_code code;
    const fs::path temporary = fs::temp_directory_path(code);
    OwnedFolder folder = code ? OwnedFolder() : OwnedFolder::make((temporary / "kavrin-demo-XXXXXX").string());
    if (!folder)
        return Error { "cannot make a temporary folder for the demo's copy of the phone" };
    std::unique_ptr<ScratchPhone> scratch(new ScratchPhone(std::move(folder)));
    if (!copyPhone(root, scratch->root(), code))
        return Error { "cannot copy the phone " + root.string() + ": " + code.message() };
    return scratch;
}

}

#include "demo_phone_writer.h"

#include "address_book_writer.h"
#include "demo_contacts.h"
#include "kavrin/published_names.h"
#include "phone_files.h"
#include "sys/phone_paths.h"
#include "sys/property_list.h"
#include "weeapp/plugin_entry.h"

namespace kavrin::tooling {

namespace fs = std::filesystem;

namespace {

sys::ValuePtr favoritesList()
{
    sys::Array entries;
    for (const DemoContact& contact : demoContacts()) {
        sys::Dictionary entry {
            { "Name", sys::Value::string(contact.name) },
            { "Label", sys::Value::string(contact.label) },
            { "Value", sys::Value::string(contact.number) },
        };
        if (contact.recordId)
            entry["ABUid"] = sys::Value::integer(*contact.recordId);
        entries.push_back(sys::Value::dictionary(std::move(entry)));
    }
    return sys::Value::array(std::move(entries));
}

sys::ValuePtr demoSettings()
{
    return sys::Value::dictionary({
        { "showLabels", sys::Value::boolean(true) },
        { "showBg", sys::Value::boolean(true) },
        { "standardAction", sys::Value::integer(0) },
    });
}

bool writePropertyList(const sys::ValuePtr& value, const fs::path& path, std::string& error)
{
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    if (sys::writePropertyListAtomically(*value, path.string(), sys::PropertyListFormat::Xml))
        return true;
    error = "cannot write " + path.string();
    return false;
}

bool linkBundle(const fs::path& link, const fs::path& bundleFolder, std::string& error)
{
    std::error_code code;
    fs::create_directories(link.parent_path(), code);
    if (fs::is_symlink(link, code))
        fs::remove(link, code);
    else if (fs::exists(link, code)) {
        error = link.string() + " exists and is not a link; leaving it alone";
        return false;
    }
    fs::create_directory_symlink(fs::absolute(bundleFolder), link, code);
    if (code) {
        error = "cannot link " + link.string() + ": " + code.message();
        return false;
    }
    return true;
}

}

fs::path builtBundleFolder()
{
    return KAVRIN_BUILT_BUNDLE_DIR;
}

fs::path underRoot(const fs::path& root, const std::string& phonePath)
{
    std::string relative = phonePath;
    while (!relative.empty() && relative.front() == '/')
        relative.erase(relative.begin());
    return root / relative;
}

bool writeDemoPhone(const fs::path& root, const fs::path& bundleFolder, std::string& error)
{
    if (!writePropertyList(favoritesList(), underRoot(root, sys::kFavoritesPath), error)
        || !writePropertyList(demoSettings(), underRoot(root, kSettingsPath), error))
        return false;
    if (!writeAddressBook(underRoot(root, sys::kAddressBookPath).string(), underRoot(root, sys::kAddressBookImagesPath).string(), demoContacts())) {
        error = "cannot write the address-book databases under " + root.string();
        return false;
    }
    std::string bundle = kBundlePath;
    bundle.pop_back();
    if (!linkBundle(underRoot(root, bundle), bundleFolder, error))
        return false;
    std::error_code ignored;
    fs::create_directories(underRoot(root, kSystemNotificationFolder), ignored);
    return true;
}

bool demoPhoneExists(const fs::path& root)
{
    std::error_code ignored;
    return fs::exists(underRoot(root, sys::kFavoritesPath), ignored) && fs::exists(underRoot(root, kBundlePath), ignored);
}

}

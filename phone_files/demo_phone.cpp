#include "demo_phone.h"

#include "contact_photo.h"
#include "demo_contacts.h"
#include "demo_phone_location.h"
#include "kavrin/published_names.h"
#include "phone_writer.h"
#include "system_notifications.h"
#include <weeapp/sys/files/phone_paths.h>

#include <string>
#include <utility>
#include <vector>

namespace kavrin::phone_files {

namespace fs = std::filesystem;

namespace {

std::vector<FavoriteRecord> favoritesList(const std::vector<DemoContact>& contacts)
{
    std::vector<FavoriteRecord> entries;
    for (const DemoContact& contact : contacts)
        entries.push_back({ contact.name, contact.recordId, contact.label, contact.number });
    return entries;
}

weeapp::sys::Dictionary demoSettings()
{
    return {
        { "showLabels", weeapp::sys::Value::boolean(true) },
        { "showBg", weeapp::sys::Value::boolean(true) },
        { "standardAction", weeapp::sys::Value::integer(0) },
    };
}

std::pair<std::string, std::string> splitName(const std::string& name)
{
    auto space = name.rfind(' ');
    if (space == std::string::npos || space == 0)
        return { name, "" };
    return { name.substr(0, space), name.substr(space + 1) };
}

bool writePeople(const PhoneWriter& phone, const std::vector<DemoContact>& contacts)
{
    AddressBookWriter book(phone);
    bool done = book.opened();
    for (const DemoContact& contact : contacts) {
        if (!contact.recordId)
            continue;
        auto [first, last] = splitName(contact.name);
        done = book.addPerson(*contact.recordId, first, last) && done;
        done = book.addValue({ *contact.recordId, kPhoneProperty, contact.number, contact.label, 0 }) && done;
        std::int64_t identifier = 0;
        for (const std::string& mail : contact.mails) {
            done = book.addValue({ *contact.recordId, kMailProperty, mail, identifier == 0 ? "_$!<Home>!$_" : "_$!<Work>!$_", identifier }) && done;
            ++identifier;
        }
    }
    return book.commit() && done;
}

std::optional<Bytes> thumbnailOf(const DemoContact& contact)
{
    switch (contact.photo) {
    // PNG thumbnails carry the contact's initials, JPEG ones a figure.
    case PhotoKind::Png:
        return contactPhotoPng(120, contact.hue, initialsOf(contact.name));
    case PhotoKind::Jpeg:
        return contactPhotoJpeg(96, contact.hue, "");
    case PhotoKind::Broken:
        return Bytes { 'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e' };
    case PhotoKind::OtherFormatOnly:
        return contactPhotoPng(320, contact.hue, "");
    case PhotoKind::None:
        break;
    }
    return std::nullopt;
}

bool writeThumbnails(const PhoneWriter& phone, const std::vector<DemoContact>& contacts)
{
    ThumbnailWriter images(phone);
    bool done = images.opened();
    for (const DemoContact& contact : contacts) {
        if (!contact.recordId || contact.photo == PhotoKind::None)
            continue;
        std::optional<Bytes> bytes = thumbnailOf(contact);
        if (!bytes)
            return false;
        const std::int64_t format = contact.photo == PhotoKind::OtherFormatOnly ? 1 : 0;
        done = images.addThumbnail({ *contact.recordId, std::move(*bytes), format }) && done;
    }
    return images.commit() && done;
}

}

fs::path builtBundleFolder()
{
    // Beside the program, as installed (PREFIX/bin and PREFIX/share/kavrin) or as built (BUILD/bin
    // or another folder of BUILD, and BUILD/Kavrin.bundle), so that a moved prefix or build
    // still finds its own bundle.
    std::error_code ignored;
    if (fs::path program = programFolder(); !program.empty())
        for (const fs::path& bundle : { program.parent_path() / "share" / "kavrin" / "Kavrin.bundle", program.parent_path() / "Kavrin.bundle" })
            if (fs::is_directory(bundle, ignored))
                return fs::weakly_canonical(bundle, ignored);
    return KAVRIN_BUILT_BUNDLE_DIR;
}

Result<void> writeContacts(const fs::path& root, const std::vector<DemoContact>& contacts)
{
    const PhoneWriter phone(root);
    if (!phone.writeFavorites(favoritesList(contacts), weeapp::sys::PropertyListFormat::Xml))
        return Error { "cannot write " + phone.realPath(weeapp::sys::kFavoritesPath).string() };
    const bool people = writePeople(phone, contacts);
    if (!writeThumbnails(phone, contacts) || !people)
        return Error { "cannot write the address-book databases under " + root.string() };
    return {};
}

Result<void> writeDemoPhone(const fs::path& root, const fs::path& bundleFolder)
{
    const PhoneWriter phone(root);
    if (!phone.writeSettings(demoSettings(), weeapp::sys::PropertyListFormat::Xml))
        return Error { "cannot write " + phone.realPath(kSettingsPath).string() };
    if (auto written = writeContacts(root, demoContacts()); !written)
        return written;
    if (auto linked = phone.linkBundle(kBundlePath, bundleFolder); !linked)
        return linked;
    std::error_code ignored;
    fs::create_directories(phone.realPath(kSystemNotificationFolder), ignored);
    return {};
}

Result<DemoPhoneCompletion> completeDemoPhone(const fs::path& root, const fs::path& bundleFolder)
{
    std::error_code ignored;
    const PhoneWriter phone(root);
    const auto there = [&](const std::string& phonePath) { return fs::exists(fs::symlink_status(phone.realPath(phonePath), ignored)); };
    DemoPhoneCompletion completion;

    if (there(kSettingsPath)) {
        completion.kept.push_back("the settings file");
    } else if (phone.writeSettings(demoSettings(), weeapp::sys::PropertyListFormat::Xml)) {
        completion.written.push_back("the settings file");
    } else {
        return Error { "cannot write " + phone.realPath(kSettingsPath).string() };
    }

    // Any of them there keeps them all, and names what is there.
    std::vector<std::string> contacts;
    for (const auto& [phonePath, name] : { std::pair { weeapp::sys::kFavoritesPath, "the favorites" }, std::pair { weeapp::sys::kAddressBookPath, "the address book" },
             std::pair { weeapp::sys::kAddressBookImagesPath, "the address book's images" } })
        if (there(phonePath))
            contacts.emplace_back(name);
    if (!contacts.empty()) {
        completion.kept.insert(completion.kept.end(), contacts.begin(), contacts.end());
    } else if (auto written = writeContacts(root, demoContacts()); written) {
        completion.written.push_back("the favorites and address books");
    } else {
        return Error { written.error() };
    }

    const fs::path bundle = phone.realPath(kBundlePath).parent_path();
    const fs::file_status status = fs::symlink_status(bundle, ignored);
    if (fs::exists(status) && !fs::is_symlink(status)) {
        completion.kept.push_back("the bundle folder");
    } else if (fs::is_symlink(status) && fs::equivalent(bundle, bundleFolder, ignored)) {
        completion.kept.push_back("the bundle link");
    } else if (auto linked = phone.linkBundle(kBundlePath, bundleFolder); linked) {
        completion.written.push_back(fs::is_symlink(status) ? "the bundle link, pointed at " + bundleFolder.string() : "the bundle link");
    } else {
        return Error { linked.error() };
    }
    fs::create_directories(phone.realPath(kSystemNotificationFolder), ignored);
    return completion;
}

bool demoPhoneExists(const fs::path& root)
{
    std::error_code ignored;
    const PhoneWriter phone(root);
    fs::path bundle = phone.realPath(kBundlePath).parent_path();
    return fs::exists(phone.realPath(weeapp::sys::kFavoritesPath), ignored) && fs::exists(fs::symlink_status(bundle, ignored));
}

Result<void> linkDemoBundle(const fs::path& root, const fs::path& bundleFolder)
{
    std::error_code ignored;
    const PhoneWriter phone(root);
    fs::path bundle = phone.realPath(kBundlePath).parent_path();
    if (!fs::is_symlink(bundle, ignored) || fs::equivalent(bundle, bundleFolder, ignored))
        return {};
    return phone.linkBundle(kBundlePath, bundleFolder);
}

}

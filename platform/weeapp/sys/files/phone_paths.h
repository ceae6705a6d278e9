#pragma once

#include <string>
#include <string_view>

namespace weeapp::sys {

// The phone's own files, as absolute phone paths (resolved under the phone root, phone_root.h).

inline constexpr const char* kPreferencesFolder = "/private/var/mobile/Library/Preferences/";
inline constexpr const char* kFavoritesPath = "/private/var/mobile/Library/Preferences/com.apple.mobilephone.speeddial.plist";
inline constexpr const char* kAddressBookPath = "/private/var/mobile/Library/AddressBook/AddressBook.sqlitedb";
inline constexpr const char* kAddressBookImagesPath = "/private/var/mobile/Library/AddressBook/AddressBookImages.sqlitedb";

// Where the phone keeps widget bundles. A bundle is a folder NAME.bundle/ in it, holding the
// executable NAME, its Info.plist and its resources.
inline constexpr const char* kPluginsFolder = "/System/Library/WeeAppPlugins/";
inline constexpr std::string_view kBundleExtension = ".bundle";
inline constexpr const char* kBundleInfoFile = "Info.plist";

// The phone path of the bundle folder NAME.bundle/ in the plug-ins folder.
inline std::string bundlePath(std::string_view name)
{
    return std::string(kPluginsFolder).append(name).append(kBundleExtension).append("/");
}

}

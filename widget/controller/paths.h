#pragma once

namespace kavrin {

inline constexpr const char* kSettingsPath = "/private/var/mobile/Library/Preferences/de.quillfen.kavrin.plist";
inline constexpr const char* kFavoritesPath = "/private/var/mobile/Library/Preferences/com.apple.mobilephone.speeddial.plist";
inline constexpr const char* kAddressBookPath = "/private/var/mobile/Library/AddressBook/AddressBook.sqlitedb";
inline constexpr const char* kAddressBookImagesPath = "/private/var/mobile/Library/AddressBook/AddressBookImages.sqlitedb";
inline constexpr const char* kBundlePath = "/System/Library/WeeAppPlugins/Kavrin.bundle/";
inline constexpr const char* kBackgroundImagePath = "/System/Library/WeeAppPlugins/Kavrin.bundle/WeeAppBackground.png";
inline constexpr const char* kPlaceholderPhotoPath = "/System/Library/WeeAppPlugins/Kavrin.bundle/cImageCom.png";

inline constexpr const char* kPreferencesChanged = "de.quillfen.kavrin-preferencesChanged";
inline constexpr const char* kPreferencesChangedLocal = "de.quillfen.kavrin-preferencesChanged2";

}

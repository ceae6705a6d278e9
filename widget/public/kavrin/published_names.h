#pragma once

#include <weeapp/sys/files/phone_paths.h>

#include <array>
#include <string_view>

// What the widget publishes to the host and the tools: its bundle, its settings file, the
// notifications by which a settings change reaches it and the languages it speaks. Nothing else
// of the widget is theirs.
namespace kavrin {

inline constexpr const char* kBundleName = "Kavrin";
inline constexpr const char* kBundlePath = "/System/Library/WeeAppPlugins/Kavrin.bundle/";

inline constexpr const char* kSettingsPath = "/private/var/mobile/Library/Preferences/de.quillfen.kavrin.plist";

// Posted system-wide by whoever changes the settings file; the widget observes it.
inline constexpr const char* kPreferencesChanged = "de.quillfen.kavrin-preferencesChanged";
// Posted by the widget in its own process when the system-wide one arrives.
inline constexpr const char* kPreferencesChangedLocal = "de.quillfen.kavrin-preferencesChanged2";

// The languages of the action chooser besides English. The user's first preferred language picks
// one, compared whole and case-sensitively ("de-AT" is not "de"); any other gets English.
inline constexpr std::array<std::string_view, 4> kChooserLanguages { "de", "fr", "nl", "es" };

static_assert(std::string_view(kBundlePath).starts_with(weeapp::sys::kPluginsFolder));
static_assert(std::string_view(kSettingsPath).starts_with(weeapp::sys::kPreferencesFolder));

}

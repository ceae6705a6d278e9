#pragma once

#include <filesystem>

namespace kavrin::tooling {

// The folder through which system-wide notifications travel between processes (one file per
// notification name), as a phone path under the phone root. Everything that posts or observes
// across processes on one phone root (the host, kavrin-prefs) uses this one folder.
inline constexpr const char* kSystemNotificationFolder = "/private/var/run/kavrin-notify/";

// Points the system-wide notification centre at the phone root's notification folder. False
// when the folder cannot be made or watched; posts then stay in this process.
bool startSystemNotifications();

// Where the demo phone lives when no root is given: $KAVRIN_DEMO_PHONE, else "demo-phone" in
// the checkout whose build folder holds the running program (BUILD/bin/PROGRAM, BUILD inside
// the checkout), else, for an installed program (PREFIX/bin/PROGRAM beside
// PREFIX/share/kavrin/), "kavrin/demo-phone" in the user's data folder ($XDG_DATA_HOME, else
// ~/.local/share), else "demo-phone" in the checkout this was built from. Never the current
// folder.
std::filesystem::path defaultDemoPhoneRoot();

// Whether the folders on the way to that root may be made: only for the user's data folder of
// an installed program, where nothing of the user's stands.
bool demoPhoneFoldersMayBeMade(const std::filesystem::path& root);

// The folder of the running program (from /proc/self/exe); empty when it cannot be told.
std::filesystem::path programFolder();

// The folder every phone root has (the user's folder, "/private/var/mobile"). A writer asked to
// change the settings under a root without it refuses unless told to create it, so that a
// mistyped root does not grow a phone's folders.
inline constexpr const char* kPhoneUserFolder = "/private/var/mobile";
bool looksLikePhoneRoot(const std::filesystem::path& root);

}

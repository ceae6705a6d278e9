#pragma once

namespace kavrin::phone_files {

// The folder through which system-wide notifications travel between processes (one file per
// notification name), as a phone path under the phone root. Everything that posts or observes
// across processes on one phone root (the host, kavrin-prefs) uses this one folder.
inline constexpr const char* kSystemNotificationFolder = "/private/var/run/kavrin-notify/";

// Points the system-wide notification centre at the phone root's notification folder. False
// when the folder cannot be made or watched; posts then stay in this process.
bool startSystemNotifications();

}

#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kavrin::prefs {

// kavrin-prefs [--root DIR] [--xml | --binary] [--no-notify] [--force] [--create] COMMAND
//   get KEY          prints the value; for a key the widget reads that is not set, its default
//                    and that it is the default; exit 1 for any other key that is not set
//   set KEY VALUE    a key of the settings table with a value of its type (--force: any key,
//                    typed from the text: true/false a boolean, an integer a number, else a text)
//   unset KEY        removes the key; a key that is not there leaves everything alone, unannounced
//   list             prints "KEY VALUE" lines in key order, each escaped onto one line
//   keys             prints the settings table: key, type, default, effect
// get and list print values as settingValueText writes them. Changes are made under the
// settings lock (waited for a few seconds at most), replace the settings file atomically and
// then post the settings-changed notification system-wide. Nothing but a regular file in the
// settings file's place is read or replaced; one that is no readable dictionary is replaced only
// with --force, after its bytes are kept beside it. set and unset refuse a root without the
// phone's user folder unless --create. Exit status 0 on success, 1 for get of a key neither set
// nor known, for get or list of an unreadable file and for a failure to write, 2 for a usage
// error, a missing or refused root, a refused key, value or file and a lock held too long.
int runPrefsCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}

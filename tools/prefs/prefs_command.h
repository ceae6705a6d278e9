#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kavrin::tooling {

// kavrin-prefs [--root DIR] [--xml | --binary] [--no-notify] COMMAND
//   get KEY          prints the value; exit 1 when the key is not set
//   set KEY VALUE    true/false a boolean, an integer a number, anything else (or "text") a text
//   unset KEY        removes the key; a key that is not there leaves the file alone, unannounced
//   list             prints "KEY VALUE" lines in key order
// get and list print values as settingValueText writes them. Changes are made under the
// settings lock, replace the settings file atomically and then post the settings-changed
// notification system-wide; something other than a regular file in the settings file's place is
// neither read nor replaced. Exit status 0 on success, 1 on a failure (or get of a missing key),
// 2 on a usage error (an empty --root among them) or a root folder that does not exist.
int runPrefsCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}

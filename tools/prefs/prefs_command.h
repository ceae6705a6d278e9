#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kavrin::tooling {

// kavrin-prefs [--root DIR] [--xml | --binary] [--no-notify] COMMAND
//   get KEY          prints the value; exit 1 when the key is not set
//   set KEY VALUE    true/false a boolean, an integer a number, anything else (or "text") a text
//   unset KEY        removes the key
//   list             prints "KEY VALUE" lines in key order
// Changes replace the settings file atomically and then post the settings-changed notification
// system-wide. Exit status 0 on success, 1 on a failure, 2 on a usage error.
int runPrefsCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}

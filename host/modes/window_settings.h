#pragma once

#include "session/host_session.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::host {

// The widget's settings at hand in the preview window: a key changes one setting as a user
// changes it, through the one settings-write policy, posts the change as kavrin-prefs does (the
// widget rebuilds) and prints "set KEY VALUE"; u undoes the window's last change.
//   m  the metro look on and off          p  the metro pattern, 1 to 4
//   c  the metro colour, 1 to 7           l  the number-label badges on and off
//   g  the background image on and off    f  five tiles a page instead of four
//   a  the standard action: call, text, mail
//   o  t  e  the chooser offering a call, a text, an e-mail, each on and off
class WindowSettings {
public:
    WindowSettings(HostSession&, std::ostream& out, std::ostream& errors);

    // Whether the character is one of the keys above (or u); if so, the change is made or its
    // failure said on errors.
    bool handle(char typed);
    // Puts back what the window's last change replaced: the file's bytes as they were when
    // nobody has changed the file since, else the key's previous value (or its absence).
    void undo();

private:
    struct Change {
        std::string key;
        weeapp::sys::ValuePtr previous; // nullptr: the key was not there
        std::optional<std::string> bytesBefore;
        std::string bytesAfter;
        bool byBytes { false };
    };

    void change(const std::string& key, weeapp::sys::ValuePtr value);
    void toggle(const std::string& key);
    void cycle(const std::string& key, int first, int last);
    bool notify(const phone_files::SettingsChange&);
    void say(const std::string& key, const weeapp::sys::ValuePtr& value);

    HostSession& m_session;
    std::ostream& m_out;
    std::ostream& m_errors;
    std::vector<Change> m_done;
};

}

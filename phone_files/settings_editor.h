#pragma once

#include "result.h"
#include <weeapp/sys/property_list.h>
#include <weeapp/sys/property_list_document.h>
#include <weeapp/sys/value.h>

#include <optional>
#include <string>
#include <string_view>

namespace kavrin::phone_files {

// The widget's settings file as a writer sees it: a dictionary read whole, changed, and
// written back atomically in the format it had (XML for a new file), every entry it did not
// change as the file had it; a file with a value that cannot be written back as it was is not
// written at all. Only a regular file is
// ever read or replaced: a symbolic link, a FIFO, a folder or a device in its place would be
// followed, block a reader or be destroyed by the rename. A file that is there but is no
// property list with a dictionary at its root is not replaced either, since that would lose it,
// unless the caller sets it aside first.
class SettingsEditor {
public:
    enum class State {
        Missing,    // nothing there: reads as empty
        Readable,   // a dictionary
        Unreadable, // a regular file that cannot be read or is not a dictionary
        NotAFile,   // a link, a FIFO, a folder, a device
    };

    static SettingsEditor load(const std::string& filePath);

    State state() const { return m_state; }
    // Missing or Readable: what values() holds is the file's content.
    bool editable() const { return m_state == State::Missing || m_state == State::Readable; }
    // Why the file is not editable, for a message: it names the file and says it is left alone.
    std::string problem() const;

    // The file's bytes as they were read: nothing for a missing file or one that could not be read.
    const std::optional<std::string>& bytesRead() const { return m_bytes; }

    const sys::Dictionary& values() const { return m_document.values(); }
    sys::ValuePtr value(std::string_view key) const { return m_document.value(key); }
    void set(const std::string& key, sys::ValuePtr value) { m_document.set(key, std::move(value)); }
    bool unset(std::string_view key) { return m_document.remove(key); }

    sys::PropertyListFormat format() const { return m_document.format(); }
    void setFormat(sys::PropertyListFormat format) { m_document.setFormat(format); }

    // What save would write: the file's bytes with the changes made, or why they cannot be
    // written without changing some other value (naming the key and the kind of value).
    Result<std::string> contents() const;

    // For an Unreadable file whose bytes could be read: keeps them in a new file
    // NAME.broken-YYYYMMDDThhmmssZ beside it (never replacing one), after which the editor is
    // empty and editable, so that save replaces the file. The copy's path, or nothing (with the
    // editor unchanged) when no copy could be kept.
    std::optional<std::string> setAside();

    // Creates the folder when missing and replaces the file atomically with contents(). False,
    // with nothing written, when the editor is not editable, contents() has none, or something
    // other than a regular file is in the file's place by now.
    bool save() const;
    // The same with bytes that contents() gave, so that a caller who looked at them first does
    // not make them twice.
    bool write(const std::string& bytes) const;

private:
    std::string m_path;
    State m_state { State::Missing };
    std::optional<std::string> m_bytes; // the file's bytes, when they could be read
    sys::PropertyListDocument m_document { sys::PropertyListDocument::empty() };
};

// Removes what writes of the settings file that were stopped part-way left beside it: the hidden
// temporary files of an atomic replacement (".NAME.XXXXXX") and copies that a replacement of an
// unreadable file kept ("NAME.broken-STAMP") when the file still holds those very bytes, so was
// never replaced. Nothing else in the folder is touched, and a copy whose bytes the file no longer
// holds is kept. Only for a writer that holds the settings lock: no other write is then under way.
void removeInterruptedWrites(const std::string& filePath);

// The settings file's real path under the current phone root.
std::string settingsFilePath();

// The one reason a changed settings file could not be written, for a message, with the system's
// reason for the failed write (errno; none when 0).
std::string settingsWriteFailure(const std::string& filePath, int reason);

}

#include "address_book_writer.h"

#include "contact_photo.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>

namespace kavrin::tooling {

namespace {

constexpr int kPhoneProperty = 3;
constexpr int kMailProperty = 4;

struct Database {
    sqlite3* handle { nullptr };
    ~Database() { sqlite3_close(handle); }
    bool open(const std::string& path)
    {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
        std::filesystem::remove(path, error);
        return sqlite3_open(path.c_str(), &handle) == SQLITE_OK;
    }
    bool run(const char* sql) { return sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
};

struct Statement {
    sqlite3_stmt* handle { nullptr };
    Statement(Database& database, const char* sql) { sqlite3_prepare_v2(database.handle, sql, -1, &handle, nullptr); }
    ~Statement() { sqlite3_finalize(handle); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool step()
    {
        bool done = handle && sqlite3_step(handle) == SQLITE_DONE;
        sqlite3_reset(handle);
        sqlite3_clear_bindings(handle);
        return done;
    }
};

std::pair<std::string, std::string> splitName(const std::string& name)
{
    auto space = name.rfind(' ');
    if (space == std::string::npos || space == 0)
        return { name, "" };
    return { name.substr(0, space), name.substr(space + 1) };
}

bool writePeople(Database& database, const std::vector<DemoContact>& contacts)
{
    bool done = database.run(
        "CREATE TABLE ABPerson (ROWID INTEGER PRIMARY KEY, First TEXT, Last TEXT, Organization TEXT);"
        "CREATE TABLE ABMultiValueLabel (value TEXT UNIQUE);"
        "CREATE TABLE ABMultiValue (UID INTEGER PRIMARY KEY, record_id INTEGER, property INTEGER, identifier INTEGER, label INTEGER, value TEXT);"
        "CREATE INDEX ABMultiValueRecordID ON ABMultiValue(record_id);"
        "BEGIN;");
    Statement person(database, "INSERT INTO ABPerson (ROWID, First, Last) VALUES (?, ?, ?)");
    Statement label(database, "INSERT OR IGNORE INTO ABMultiValueLabel (value) VALUES (?)");
    Statement value(database,
        "INSERT INTO ABMultiValue (record_id, property, identifier, label, value) "
        "VALUES (?, ?, ?, (SELECT ROWID FROM ABMultiValueLabel WHERE value = ?), ?)");
    for (const DemoContact& contact : contacts) {
        if (!contact.recordId)
            continue;
        auto [first, last] = splitName(contact.name);
        sqlite3_bind_int(person.handle, 1, *contact.recordId);
        sqlite3_bind_text(person.handle, 2, first.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(person.handle, 3, last.c_str(), -1, SQLITE_TRANSIENT);
        done = person.step() && done;

        auto addValue = [&](int property, int identifier, const std::string& labelText, const std::string& text) {
            sqlite3_bind_text(label.handle, 1, labelText.c_str(), -1, SQLITE_TRANSIENT);
            done = label.step() && done;
            sqlite3_bind_int(value.handle, 1, *contact.recordId);
            sqlite3_bind_int(value.handle, 2, property);
            sqlite3_bind_int(value.handle, 3, identifier);
            sqlite3_bind_text(value.handle, 4, labelText.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(value.handle, 5, text.c_str(), -1, SQLITE_TRANSIENT);
            done = value.step() && done;
        };
        addValue(kPhoneProperty, 0, contact.label, contact.number);
        int identifier = 0;
        for (const std::string& mail : contact.mails) {
            addValue(kMailProperty, identifier, identifier == 0 ? "_$!<Home>!$_" : "_$!<Work>!$_", mail);
            ++identifier;
        }
    }
    return database.run("COMMIT;") && done;
}

bool writeThumbnails(Database& database, const std::vector<DemoContact>& contacts)
{
    bool done = database.run(
        "CREATE TABLE ABThumbnailImage (ROWID INTEGER PRIMARY KEY, record_id INTEGER, format INTEGER, derived_from_format INTEGER, data BLOB);"
        "CREATE UNIQUE INDEX ABThumbnailImageIndex ON ABThumbnailImage(record_id, format);"
        "BEGIN;");
    Statement thumbnail(database, "INSERT INTO ABThumbnailImage (record_id, format, derived_from_format, data) VALUES (?, ?, 0, ?)");
    for (const DemoContact& contact : contacts) {
        if (!contact.recordId || contact.photo == PhotoKind::None)
            continue;
        std::optional<Bytes> bytes;
        int format = 0;
        switch (contact.photo) {
        // PNG thumbnails carry the contact's initials, JPEG ones a figure.
        case PhotoKind::Png: bytes = contactPhotoPng(120, contact.hue, initialsOf(contact.name)); break;
        case PhotoKind::Jpeg: bytes = contactPhotoJpeg(96, contact.hue, ""); break;
        case PhotoKind::Broken: bytes = Bytes { 'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e' }; break;
        case PhotoKind::OtherFormatOnly: bytes = contactPhotoPng(320, contact.hue, ""); format = 1; break;
        case PhotoKind::None: break;
        }
        if (!bytes)
            return false;
        sqlite3_bind_int(thumbnail.handle, 1, *contact.recordId);
        sqlite3_bind_int(thumbnail.handle, 2, format);
        sqlite3_bind_blob(thumbnail.handle, 3, bytes->data(), static_cast<int>(bytes->size()), SQLITE_TRANSIENT);
        done = thumbnail.step() && done;
    }
    return database.run("COMMIT;") && done;
}

}

bool writeAddressBook(const std::string& addressBookPath, const std::string& imagesPath, const std::vector<DemoContact>& contacts)
{
    Database people, images;
    if (!people.open(addressBookPath) || !images.open(imagesPath))
        return false;
    bool done = writePeople(people, contacts);
    return writeThumbnails(images, contacts) && done;
}

}

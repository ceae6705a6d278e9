#pragma once

#include "image_encoding.h"
#include "result.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/plist/property_list.h>
#include <weeapp/sys/value.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kavrin::phone_files {

// One favorite as the dialler stores it; a missing optional leaves its key out, and the extra
// keys (which the widget does not read) go in as they are.
struct FavoriteRecord {
    std::optional<std::string> name;
    std::optional<std::int64_t> uid;
    std::optional<std::string> label;
    std::optional<std::string> value;
    weeapp::sys::Dictionary extra {};
};

// Writes the files of a phone root: the favorites list, the widget's settings, any other file at
// a phone path, and the link to a plug-in bundle. Each write replaces what stood there before;
// false when the file could not be written.
class PhoneWriter {
public:
    explicit PhoneWriter(std::filesystem::path root);

    const std::filesystem::path& root() const { return m_root; }
    // The real path of one of the phone's absolute paths under this root.
    std::filesystem::path realPath(std::string_view phonePath) const;

    // The folders of the preferences and of the address book.
    bool makeFolders() const;

    // The dialler keeps its list as a binary property list; the demo phone's is XML.
    bool writeFavorites(const std::vector<FavoriteRecord>&, weeapp::sys::PropertyListFormat = weeapp::sys::PropertyListFormat::Binary) const;
    // Any value as the favorites list, also one that is not a list of dictionaries.
    bool writeFavoritesValue(const weeapp::sys::Value&, weeapp::sys::PropertyListFormat = weeapp::sys::PropertyListFormat::Binary) const;
    bool writeSettings(const weeapp::sys::Dictionary&, weeapp::sys::PropertyListFormat = weeapp::sys::PropertyListFormat::Xml) const;
    // Any bytes at a phone path, its folder made first.
    bool writeFile(std::string_view phonePath, std::span<const std::uint8_t>) const;

    // The bundle folder NAME.bundle/ of the plug-ins folder as a relative symbolic link to
    // bundleFolder.
    // A link already there is replaced; anything else is left alone, and the error says so.
    Result<void> linkBundle(std::string_view bundlePhonePath, const std::filesystem::path& bundleFolder) const;

private:
    std::filesystem::path m_root;
};

// The contacts' properties as the address book numbers them in ABMultiValue.
inline constexpr std::int64_t kPhoneProperty = 3;
inline constexpr std::int64_t kMailProperty = 4;

// One value of a contact: a phone number or an e-mail address, with its label as the address
// book stores it ("_$!<Home>!$_" or a custom text). A missing optional is stored as null.
struct ContactValue {
    std::int64_t recordId;
    std::int64_t property;
    std::optional<std::string> value;
    std::optional<std::string> label {};
    std::optional<std::int64_t> identifier {};
};

// One thumbnail of a contact; format 0 is the one the lists show.
struct ContactThumbnail {
    std::int64_t recordId;
    Bytes data;
    std::int64_t format { 0 };
};

// One of the phone's two address-book databases being written, in the address book's schema,
// each table indexed by record as on the phone. Opening replaces the file with an empty
// database; the rows go in one transaction, which commit() ends. Rows are kept in the order they
// are added, so the last one added for a record is the last one the widget reads.
class AddressBookDatabase {
public:
    AddressBookDatabase(const AddressBookDatabase&) = delete;
    AddressBookDatabase& operator=(const AddressBookDatabase&) = delete;

    // Whether the database was made; the adds to one that was not fail.
    bool opened() const { return static_cast<bool>(m_database); }
    // Commits and closes; true when the schema and every row went in.
    bool commit();

protected:
    AddressBookDatabase(const std::filesystem::path&, const char* schema);
    ~AddressBookDatabase();

    // A statement the database keeps and finalises before it closes; null when it cannot be
    // prepared.
    sqlite3_stmt* prepare(const char* sql);
    // Runs a bound statement and makes it ready for the next row; a failure fails commit().
    bool step(sqlite3_stmt*);

private:
    void close();

    weeapp::SqliteConnection m_database;
    std::vector<weeapp::SqliteStatement> m_statements;
    bool m_done { false };
};

// The address book: people in ABPerson, their values in ABMultiValue, labels in ABMultiValueLabel.
class AddressBookWriter : public AddressBookDatabase {
public:
    explicit AddressBookWriter(const PhoneWriter&);

    bool addPerson(std::int64_t recordId, const std::string& first, const std::string& last);
    bool addValue(const ContactValue&);

private:
    sqlite3_stmt* m_person;
    sqlite3_stmt* m_label;
    sqlite3_stmt* m_value;
};

// The address book's images: thumbnails in ABThumbnailImage.
class ThumbnailWriter : public AddressBookDatabase {
public:
    explicit ThumbnailWriter(const PhoneWriter&);

    bool addThumbnail(const ContactThumbnail&);

private:
    sqlite3_stmt* m_thumbnail;
};

}

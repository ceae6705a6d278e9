#include "phone_writer.h"

#include "kavrin/published_names.h"
#include <weeapp/sys/files/phone_paths.h>

#include <sqlite3.h>

#include <fstream>

namespace kavrin::phone_files {

namespace fs = std::filesystem;

PhoneWriter::PhoneWriter(fs::path root)
    : m_root(std::move(root))
{
}

fs::path PhoneWriter::realPath(std::string_view phonePath) const
{
    return m_root / fs::path(phonePath).relative_path();
}

bool PhoneWriter::makeFolders() const
{
    std::error_code error;
    fs::create_directories(realPath(weeapp::sys::kPreferencesFolder), error);
    fs::create_directories(realPath(weeapp::sys::kAddressBookPath).parent_path(), error);
    return !error;
}

bool PhoneWriter::writeFavorites(const std::vector<FavoriteRecord>& favorites, weeapp::sys::PropertyListFormat format) const
{
    weeapp::sys::Array entries;
    for (const FavoriteRecord& favorite : favorites) {
        weeapp::sys::Dictionary entry = favorite.extra;
        if (favorite.name)
            entry["Name"] = weeapp::sys::Value::string(*favorite.name);
        if (favorite.uid)
            entry["ABUid"] = weeapp::sys::Value::integer(*favorite.uid);
        if (favorite.label)
            entry["Label"] = weeapp::sys::Value::string(*favorite.label);
        if (favorite.value)
            entry["Value"] = weeapp::sys::Value::string(*favorite.value);
        entries.push_back(weeapp::sys::Value::dictionary(std::move(entry)));
    }
    return writeFavoritesValue(*weeapp::sys::Value::array(std::move(entries)), format);
}

bool PhoneWriter::writeFavoritesValue(const weeapp::sys::Value& root, weeapp::sys::PropertyListFormat format) const
{
    const fs::path path = realPath(weeapp::sys::kFavoritesPath);
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    return weeapp::sys::writePropertyListAtomically(root, path.string(), format);
}

bool PhoneWriter::writeSettings(const weeapp::sys::Dictionary& settings, weeapp::sys::PropertyListFormat format) const
{
    const fs::path path = realPath(kSettingsPath);
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    return weeapp::sys::writePropertyListAtomically(*weeapp::sys::Value::dictionary(settings), path.string(), format);
}

bool PhoneWriter::writeFile(std::string_view phonePath, std::span<const std::uint8_t> bytes) const
{
    const fs::path path = realPath(phonePath);
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

Result<void> PhoneWriter::linkBundle(std::string_view bundlePhonePath, const fs::path& bundleFolder) const
{
    fs::path link = realPath(bundlePhonePath);
    if (!link.has_filename())
        link = link.parent_path();
    std::error_code code;
    fs::create_directories(link.parent_path(), code);
    if (fs::is_symlink(link, code))
        fs::remove(link, code);
    else if (fs::exists(link, code))
        return Error { link.string() + " exists and is not a link; leaving it alone" };
    // A relative link, so that a phone and its bundle can move together (a checkout with its
    // build, a prefix with its demo phone).
    fs::path target = fs::weakly_canonical(fs::absolute(bundleFolder), code);
    fs::path relative = fs::relative(target, fs::weakly_canonical(link.parent_path(), code), code);
    fs::create_directory_symlink(relative.empty() ? target : relative, link, code);
    if (code)
        return Error { "cannot link " + link.string() + ": " + code.message() };
    return {};
}

namespace {

constexpr const char* kBookSchema
    = "CREATE TABLE ABPerson (ROWID INTEGER PRIMARY KEY, First TEXT, Last TEXT, Organization TEXT);"
      "CREATE TABLE ABMultiValueLabel (value TEXT UNIQUE);"
      "CREATE TABLE ABMultiValue (UID INTEGER PRIMARY KEY, record_id INTEGER, property INTEGER, identifier INTEGER, label INTEGER, value TEXT);"
      "CREATE INDEX ABMultiValueRecordID ON ABMultiValue(record_id);"
      "BEGIN;";
// Not unique: a contact may have several thumbnails of one format.
constexpr const char* kImagesSchema
    = "CREATE TABLE ABThumbnailImage (ROWID INTEGER PRIMARY KEY, record_id INTEGER, format INTEGER, derived_from_format INTEGER, data BLOB);"
      "CREATE INDEX ABThumbnailImageIndex ON ABThumbnailImage(record_id, format);"
      "BEGIN;";

void bindText(sqlite3_stmt* statement, int index, const std::optional<std::string>& text)
{
    if (text)
        sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
    else
        sqlite3_bind_null(statement, index);
}

}

AddressBookDatabase::AddressBookDatabase(const fs::path& path, const char* schema)
{
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    fs::remove(path, ignored);
    if (sqlite3_open(path.c_str(), m_database.out()) != SQLITE_OK) {
        m_database.reset();
        return;
    }
    m_done = sqlite3_exec(m_database.get(), schema, nullptr, nullptr, nullptr) == SQLITE_OK;
}

AddressBookDatabase::~AddressBookDatabase()
{
    close();
}

void AddressBookDatabase::close()
{
    m_statements.clear();
    m_database.reset();
}

sqlite3_stmt* AddressBookDatabase::prepare(const char* sql)
{
    weeapp::SqliteStatement statement;
    if (m_database)
        sqlite3_prepare_v2(m_database.get(), sql, -1, statement.out(), nullptr);
    return m_statements.emplace_back(std::move(statement)).get();
}

bool AddressBookDatabase::step(sqlite3_stmt* statement)
{
    const bool done = statement && sqlite3_step(statement) == SQLITE_DONE;
    if (statement) {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
    m_done = done && m_done;
    return done;
}

bool AddressBookDatabase::commit()
{
    const bool done = m_database && sqlite3_exec(m_database.get(), "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK && m_done;
    close();
    return done;
}

AddressBookWriter::AddressBookWriter(const PhoneWriter& phone)
    : AddressBookDatabase(phone.realPath(weeapp::sys::kAddressBookPath), kBookSchema)
    , m_person(prepare("INSERT INTO ABPerson (ROWID, First, Last) VALUES (?, ?, ?)"))
    , m_label(prepare("INSERT OR IGNORE INTO ABMultiValueLabel (value) VALUES (?)"))
    , m_value(prepare("INSERT INTO ABMultiValue (record_id, property, identifier, label, value) "
                      "VALUES (?, ?, ?, (SELECT ROWID FROM ABMultiValueLabel WHERE value = ?), ?)"))
{
}

bool AddressBookWriter::addPerson(std::int64_t recordId, const std::string& first, const std::string& last)
{
    sqlite3_bind_int64(m_person, 1, recordId);
    sqlite3_bind_text(m_person, 2, first.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(m_person, 3, last.c_str(), -1, SQLITE_TRANSIENT);
    return step(m_person);
}

bool AddressBookWriter::addValue(const ContactValue& row)
{
    bool done = true;
    if (row.label) {
        sqlite3_bind_text(m_label, 1, row.label->c_str(), -1, SQLITE_TRANSIENT);
        done = step(m_label);
    }
    sqlite3_bind_int64(m_value, 1, row.recordId);
    sqlite3_bind_int64(m_value, 2, row.property);
    if (row.identifier)
        sqlite3_bind_int64(m_value, 3, *row.identifier);
    bindText(m_value, 4, row.label);
    bindText(m_value, 5, row.value);
    return step(m_value) && done;
}

ThumbnailWriter::ThumbnailWriter(const PhoneWriter& phone)
    : AddressBookDatabase(phone.realPath(weeapp::sys::kAddressBookImagesPath), kImagesSchema)
    , m_thumbnail(prepare("INSERT INTO ABThumbnailImage (record_id, format, derived_from_format, data) VALUES (?, ?, 0, ?)"))
{
}

bool ThumbnailWriter::addThumbnail(const ContactThumbnail& row)
{
    sqlite3_bind_int64(m_thumbnail, 1, row.recordId);
    sqlite3_bind_int64(m_thumbnail, 2, row.format);
    sqlite3_bind_blob(m_thumbnail, 3, row.data.data(), static_cast<int>(row.data.size()), SQLITE_TRANSIENT);
    return step(m_thumbnail);
}

}

#include "widget/support/phone_fixture.h"

#include "resources/bundle_resources.h"
#include "sources/address_book.h"
#include "support/pipe_ends.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/phone_root.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>

namespace kavrin::testing {
namespace {

using AddressBookTest = PhoneFixture;

namespace fs = std::filesystem;

std::set<std::string> filesBeside(const fs::path& database)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(database.parent_path()))
        names.insert(entry.path().filename().string());
    return names;
}

void execute(sqlite3* database, const char* sql)
{
    ASSERT_EQ(sqlite3_exec(database, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql << ": " << sqlite3_errmsg(database);
}

// The address book turned to write-ahead-log mode with "old@example.org" in its main file and,
// when asked, "new@example.org" committed to its "-wal" file only, as when the phone's writer is
// stopped before a checkpoint. An empty "-wal" and the "-shm" file are left beside it as asked.
enum class Wal { Missing,
    Empty,
    Committed };
void makeWalState(const fs::path& database, Wal wal, bool shm)
{
    weeapp::SqliteConnection writer;
    ASSERT_EQ(sqlite3_open(database.c_str(), writer.out()), SQLITE_OK);
    execute(writer.get(), "PRAGMA journal_mode=WAL");
    execute(writer.get(), "UPDATE ABMultiValue SET value='old@example.org'");
    execute(writer.get(), "PRAGMA wal_checkpoint(TRUNCATE)");
    execute(writer.get(), "PRAGMA wal_autocheckpoint=0");
    if (wal == Wal::Committed)
        execute(writer.get(), "UPDATE ABMultiValue SET value='new@example.org'");
    const fs::path saved = database.parent_path() / "saved";
    fs::create_directory(saved);
    for (const char* suffix : { "", "-wal", "-shm" })
        fs::copy_file(database.string() + suffix, saved / (database.filename().string() + suffix));
    writer.reset();
    for (const char* suffix : { "", "-wal", "-shm" })
        fs::remove(database.string() + suffix);
    fs::copy_file(saved / database.filename(), database);
    if (wal != Wal::Missing)
        fs::copy_file(saved / (database.filename().string() + "-wal"), database.string() + "-wal");
    if (shm)
        fs::copy_file(saved / (database.filename().string() + "-shm"), database.string() + "-shm");
    fs::remove_all(saved);
}

// Another process that opens the database, commits "new@example.org" under the given pragmas
// and holds its connection, with every lock it took, until it is told to end.
class HoldingWriter {
public:
    HoldingWriter(const fs::path& database, const char* pragmas)
    {
        PipeEnds ready = makePipe();
        PipeEnds release = makePipe();
        if (!ready.read || !release.read)
            return;
        child = ::fork();
        if (child == 0) {
            ready.read.reset();
            release.write.reset();
            weeapp::SqliteConnection writer;
            const bool done = sqlite3_open(database.c_str(), writer.out()) == SQLITE_OK
                && sqlite3_exec(writer.get(), pragmas, nullptr, nullptr, nullptr) == SQLITE_OK
                && sqlite3_exec(writer.get(), "UPDATE ABMultiValue SET value='new@example.org'", nullptr, nullptr, nullptr) == SQLITE_OK;
            const char answer = done ? 'y' : 'n';
            [[maybe_unused]] const auto written = ::write(ready.write.get(), &answer, 1);
            char ignored;
            [[maybe_unused]] const auto read = ::read(release.read.get(), &ignored, 1);
            writer.reset();
            ::_exit(0);
        }
        ready.write.reset();
        release.read.reset();
        char answer = 'n';
        holding = ::read(ready.read.get(), &answer, 1) == 1 && answer == 'y';
        m_release = std::move(release.write);
    }
    ~HoldingWriter() { end(); }
    HoldingWriter(const HoldingWriter&) = delete;
    HoldingWriter& operator=(const HoldingWriter&) = delete;

    void end()
    {
        m_release.reset();
        if (child > 0)
            ::waitpid(child, nullptr, 0);
        child = -1;
    }

    bool holding { false };

private:
    pid_t child { -1 };
    weeapp::FileDescriptor m_release;
};

// The last of several address rows wins; other properties and records are never read; a record
// without rows, or with only null or non-UTF-8 values, gives the empty text.
TEST_F(AddressBookTest, MailLookupTakesTheLastRow)
{
    EXPECT_EQ(controller->getMailFromDB(1), "");
    writeAddressBook({
        { 1, "first@example.org" },
        { 1, "+49 170 1234", 3 },
        { 1, "second@example.org" },
        { 2, std::nullopt },
        { 3, std::string("bad\xff\xfe") },
        { -5, "negative@example.org" },
    });
    EXPECT_EQ(controller->getMailFromDB(1), "second@example.org");
    EXPECT_EQ(controller->getMailFromDB(0), "");
    EXPECT_EQ(controller->getMailFromDB(2), "");
    EXPECT_EQ(controller->getMailFromDB(3), "");
    EXPECT_EQ(controller->getMailFromDB(-5), "negative@example.org");
}

// An address book that another tool wrote in UTF-16 gives the same addresses, in UTF-8.
TEST_F(AddressBookTest, Utf16DatabaseGivesUtf8Addresses)
{
    for (const char* encoding : { "UTF-16le", "UTF-16be" }) {
        SCOPED_TRACE(encoding);
        fs::remove(realPath(sys::kAddressBookPath));
        fs::create_directories(realPath(sys::kAddressBookPath).parent_path());
        weeapp::SqliteConnection writer;
        ASSERT_EQ(sqlite3_open(realPath(sys::kAddressBookPath).c_str(), writer.out()), SQLITE_OK);
        execute(writer.get(), (std::string("PRAGMA encoding='") + encoding + "'").c_str());
        execute(writer.get(),
            "CREATE TABLE ABMultiValue (UID INTEGER PRIMARY KEY, record_id INTEGER, property INTEGER, identifier INTEGER, "
            "label INTEGER, value TEXT);"
            "INSERT INTO ABMultiValue (record_id, property, value) VALUES (1, 4, 'jürgen.öz@example.org'), (2, 4, '🐙@example.org');");
        writer.reset();
        EXPECT_EQ(controller->getMailFromDB(1), "jürgen.öz@example.org");
        EXPECT_EQ(controller->getMailFromDB(2), "🐙@example.org");
    }
}

// The phone's own address book carries what only its frameworks can run: an index in a collation
// of theirs (on the very table the widget reads), a trigger that calls a function of theirs, a full-text table of a module of theirs.
// The widget's queries touch none of them and still answer.
TEST_F(AddressBookTest, DatabaseWithThePhonesOwnCollationsFunctionsAndModulesIsRead)
{
    writeAddressBook({ { 1, "a@example.org" } });
    weeapp::SqliteConnection writer;
    ASSERT_EQ(sqlite3_open(realPath(sys::kAddressBookPath).c_str(), writer.out()), SQLITE_OK);
    execute(writer.get(),
        "CREATE INDEX ABMultiValueByValue ON ABMultiValue (value);"
        "PRAGMA writable_schema=ON;"
        "UPDATE sqlite_master SET sql='CREATE INDEX ABMultiValueByValue ON ABMultiValue (value COLLATE LOCALIZED)' "
        "WHERE name='ABMultiValueByValue';"
        "INSERT INTO sqlite_master (type, name, tbl_name, rootpage, sql) VALUES ('table', 'ABPersonSearch', "
        "'ABPersonSearch', 0, 'CREATE VIRTUAL TABLE ABPersonSearch USING abfts (tokenize=ab_tokenizer, First)');"
        "INSERT INTO sqlite_master (type, name, tbl_name, rootpage, sql) VALUES ('trigger', 'delete_images', "
        "'ABPerson', 0, 'CREATE TRIGGER delete_images AFTER DELETE ON ABPerson BEGIN SELECT ab_delete_images(old.ROWID); END');"
        "PRAGMA writable_schema=OFF;");
    writer.reset();
    EXPECT_EQ(controller->getMailFromDB(1), "a@example.org");
}

// A null or non-UTF-8 row is passed over wherever it stands: the last readable address wins,
// and a record with none gives the empty text.
TEST_F(AddressBookTest, UnreadableMailRowsArePassedOver)
{
    using Row = std::optional<std::string>;
    const Row good = "good@example.org";
    const Row null = std::nullopt;
    const Row bad = std::string("bad\xff@example.org");
    std::vector<Row> order { bad, good, null };
    std::vector<MailRow> rows;
    std::vector<std::pair<std::int64_t, std::string>> expected;
    std::int64_t recordId = 1;
    for (bool withGood : { true, false }) {
        std::vector<Row> rowOrder = withGood ? order : std::vector<Row> { bad, null };
        std::sort(rowOrder.begin(), rowOrder.end());
        do {
            for (const Row& row : rowOrder)
                rows.push_back({ recordId, row });
            expected.emplace_back(recordId, withGood ? *good : "");
            ++recordId;
        } while (std::next_permutation(rowOrder.begin(), rowOrder.end()));
    }
    rows.push_back({ recordId, "first@example.org" });
    rows.push_back({ recordId, null });
    rows.push_back({ recordId, "second@example.org" });
    rows.push_back({ recordId, bad });
    expected.emplace_back(recordId, "second@example.org");
    writeAddressBook(rows);
    ASSERT_EQ(expected.size(), 6u + 2u + 1u);
    for (const auto& [id, address] : expected)
        EXPECT_EQ(controller->getMailFromDB(static_cast<std::int32_t>(id)), address) << "record " << id;
}

// Photos: the last format-0 row wins, other formats are ignored, undecodable or empty bytes
// give no image, and no row at all gives the bundle's placeholder.
TEST_F(AddressBookTest, ImageLookupAndItsFallbacks)
{
    writeBundleImages();
    const ui::ImagePtr missingDatabase = controller->getImageFromDB(1);
    ASSERT_NE(missingDatabase, nullptr);
    EXPECT_EQ(missingDatabase->source(), std::string("file:") + kPlaceholderPhotoPath);

    writeThumbnails({
        { 1, pngBytes(4, 4) },
        { 1, pngBytes(6, 3) },
        { 1, pngBytes(9, 9), 1 },
        { 2, { 1, 2, 3, 4 } },
        { 3, {} },
        { 4, pngBytes(5, 5), 2 },
    });
    const ui::ImagePtr photo = controller->getImageFromDB(1);
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->source(), "data");
    EXPECT_EQ(photo->size(), (ui::Size { 6, 3 }));
    EXPECT_EQ(controller->getImageFromDB(2), nullptr);
    EXPECT_EQ(controller->getImageFromDB(3), nullptr);
    ASSERT_NE(controller->getImageFromDB(4), nullptr);
    EXPECT_EQ(controller->getImageFromDB(4)->source(), std::string("file:") + kPlaceholderPhotoPath);
}

// The widget writes nothing: a missing database is not created, and opening never changes a
// present one.
TEST_F(AddressBookTest, DatabasesAreOpenedReadOnly)
{
    EXPECT_EQ(controller->getNewABDBConnection(), nullptr);
    EXPECT_EQ(controller->getNewDBConnection(), nullptr);
    controller->getMailFromDB(1);
    controller->getImageFromDB(1);
    EXPECT_FALSE(std::filesystem::exists(realPath(sys::kAddressBookPath)));
    EXPECT_FALSE(std::filesystem::exists(realPath(sys::kAddressBookImagesPath)));

    writeAddressBook({ { 1, "a@example.org" } });
    {
        const weeapp::SqliteConnection connection(controller->getNewABDBConnection());
        ASSERT_TRUE(connection);
        EXPECT_EQ(sqlite3_exec(connection.get(), "DELETE FROM ABMultiValue", nullptr, nullptr, nullptr), SQLITE_READONLY);
    }
    EXPECT_EQ(controller->getMailFromDB(1), "a@example.org");
}

// A database in write-ahead-log mode, as the phone keeps its address book, is read without a
// single file appearing beside it.
TEST_F(AddressBookTest, WriteAheadLogDatabasesGainNoFiles)
{
    writeBundleImages();
    writeAddressBook({ { 1, "a@example.org" } });
    writeThumbnails({ { 1, pngBytes(4, 4) } });
    for (const char* phonePath : { sys::kAddressBookPath, sys::kAddressBookImagesPath }) {
        weeapp::SqliteConnection database;
        ASSERT_EQ(sqlite3_open(realPath(phonePath).c_str(), database.out()), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(database.get(), "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    const auto folderListing = [this] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(realPath(sys::kAddressBookPath).parent_path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = folderListing();
    EXPECT_EQ(controller->getMailFromDB(1), "a@example.org");
    const ui::ImagePtr photo = controller->getImageFromDB(1);
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->source(), "data");
    EXPECT_EQ(folderListing(), before);
}

// SQLite takes a database for write-ahead-log mode by byte 19 of its header alone. A header whose
// two version bytes disagree (patched by hand or by another tool) is read as SQLite reads it, and
// still nothing appears beside it. The same holds for the bytes handed over in memory.
TEST_F(AddressBookTest, HeaderVersionBytesThatDisagreeAreReadAsSqliteReadsThem)
{
    writeBundleImages();
    const fs::path database = realPath(sys::kAddressBookPath);
    for (const auto& [writeVersion, readVersion] : { std::pair { 1, 2 }, std::pair { 2, 1 } }) {
        SCOPED_TRACE(::testing::Message() << "bytes 18 and 19: " << writeVersion << " " << readVersion);
        fs::remove(database);
        writeAddressBook({ { 1, "a@example.org" } });
        makeWalState(database, Wal::Missing, false);
        {
            std::fstream file(database, std::ios::in | std::ios::out | std::ios::binary);
            file.seekp(18);
            file.put(static_cast<char>(writeVersion));
            file.put(static_cast<char>(readVersion));
        }
        const std::set<std::string> before = filesBeside(database);
        EXPECT_EQ(controller->getMailFromDB(1), "old@example.org");
        EXPECT_EQ(filesBeside(database), before);

        std::ifstream file(database, std::ios::binary);
        const std::vector<std::uint8_t> bytes { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
        setAddressBookBytes(sys::kAddressBookPath, bytes);
        EXPECT_EQ(controller->getMailFromDB(1), "old@example.org");
        clearAddressBookBytes();
    }
}

// A database of another schema, a corrupt file, one locked by a writer, a FIFO or a folder in
// its place falls back at once.
TEST_F(AddressBookTest, BrokenOrBusyDatabasesFallBack)
{
    writeBundleImages();
    std::filesystem::create_directories(realPath(sys::kAddressBookPath).parent_path());
    ASSERT_EQ(::mkfifo(realPath(sys::kAddressBookPath).c_str(), 0600), 0);
    std::filesystem::create_directory(realPath(sys::kAddressBookImagesPath));
    EXPECT_EQ(controller->getMailFromDB(1), "");
    EXPECT_EQ(controller->getImageFromDB(1)->source(), std::string("file:") + kPlaceholderPhotoPath);
    std::filesystem::remove(realPath(sys::kAddressBookPath));
    std::filesystem::remove(realPath(sys::kAddressBookImagesPath));

    {
        weeapp::SqliteConnection database;
        sqlite3_open(realPath(sys::kAddressBookPath).c_str(), database.out());
        sqlite3_exec(database.get(), "CREATE TABLE ABPerson (ROWID INTEGER)", nullptr, nullptr, nullptr);
    }
    EXPECT_EQ(controller->getMailFromDB(1), "");
    std::ofstream(realPath(sys::kAddressBookImagesPath), std::ios::binary) << std::string(4096, 'x');
    EXPECT_EQ(controller->getImageFromDB(1)->source(), std::string("file:") + kPlaceholderPhotoPath);

    std::filesystem::remove(realPath(sys::kAddressBookPath));
    writeAddressBook({ { 1, "a@example.org" } });
    weeapp::SqliteConnection writer;
    ASSERT_EQ(sqlite3_open(realPath(sys::kAddressBookPath).c_str(), writer.out()), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer.get(), "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(controller->getMailFromDB(1), "");
    sqlite3_exec(writer.get(), "COMMIT", nullptr, nullptr, nullptr);
    writer.reset();
    EXPECT_EQ(controller->getMailFromDB(1), "a@example.org");
}

// Every state of a write-ahead-log database's side files: the committed changes in its "-wal"
// file are read, and no file appears beside it but the "-shm" that SQLite needs to read a
// "-wal" with content. Only a connection that reads through the log waits for a writer's commit,
// and then at most 50 ms; an immutable one has nobody to wait for.
TEST_F(AddressBookTest, WriteAheadLogChangesAreReadInEveryStateOfTheSideFiles)
{
    const fs::path database = realPath(sys::kAddressBookPath);
    struct Case {
        Wal wal;
        bool shm;
        const char* address;
        std::set<std::string> after;
        int busyTimeout;
    };
    const std::string name = database.filename().string();
    const std::vector<Case> cases {
        { Wal::Missing, false, "old@example.org", { name }, 0 },
        { Wal::Missing, true, "old@example.org", { name, name + "-shm" }, 0 },
        { Wal::Empty, false, "old@example.org", { name, name + "-wal" }, 0 },
        { Wal::Empty, true, "old@example.org", { name, name + "-wal", name + "-shm" }, 50 },
        { Wal::Committed, false, "new@example.org", { name, name + "-wal", name + "-shm" }, 50 },
        { Wal::Committed, true, "new@example.org", { name, name + "-wal", name + "-shm" }, 50 },
    };
    const auto busyTimeout = [this] {
        const weeapp::SqliteConnection connection(controller->getNewABDBConnection());
        int milliseconds = -1;
        sqlite3_exec(
            connection.get(), "PRAGMA busy_timeout",
            [](void* out, int, char** values, char**) {
                *static_cast<int*>(out) = std::atoi(values[0]);
                return 0;
            },
            &milliseconds, nullptr);
        return milliseconds;
    };
    for (const Case& state : cases) {
        SCOPED_TRACE(::testing::Message() << "wal " << static_cast<int>(state.wal) << ", shm " << state.shm);
        for (const char* suffix : { "", "-wal", "-shm", "-journal" })
            fs::remove(database.string() + suffix);
        writeAddressBook({ { 1, "first@example.org" } });
        makeWalState(database, state.wal, state.shm);
        EXPECT_EQ(controller->getMailFromDB(1), state.address);
        EXPECT_EQ(controller->getMailFromDB(1), state.address);
        EXPECT_EQ(filesBeside(database), state.after);
        EXPECT_EQ(busyTimeout(), state.busyTimeout);
    }
    for (const char* suffix : { "", "-wal", "-shm" })
        fs::remove(database.string() + suffix);
    writeAddressBook({ { 1, "first@example.org" } });
    EXPECT_EQ(busyTimeout(), 0) << "a database with a rollback journal";
}

// A writer in another process that holds its lock over a committed change, in exclusive locking
// mode (write-ahead log or rollback journal) or inside an exclusive transaction, gives the
// fallback at once and leaves the files as the writer has them; once it ends, its change is read.
TEST_F(AddressBookTest, DatabaseLockedByAnotherProcessFallsBackAtOnce)
{
    const fs::path database = realPath(sys::kAddressBookPath);
    const std::string name = database.filename().string();
    struct Case {
        const char* pragmas;
        bool walMode;
    };
    for (const Case& writerCase : {
             Case { "PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_mode=WAL", true },
             Case { "PRAGMA journal_mode=WAL; PRAGMA locking_mode=EXCLUSIVE", true },
             Case { "PRAGMA locking_mode=EXCLUSIVE", false },
         }) {
        SCOPED_TRACE(writerCase.pragmas);
        for (const char* suffix : { "", "-wal", "-shm", "-journal" })
            fs::remove(database.string() + suffix);
        writeAddressBook({ { 1, "old@example.org" } });
        if (writerCase.walMode)
            makeWalState(database, Wal::Missing, false);
        HoldingWriter writer(database, writerCase.pragmas);
        ASSERT_TRUE(writer.holding);
        const std::set<std::string> held = filesBeside(database);
        EXPECT_EQ(controller->getMailFromDB(1), "");
        EXPECT_EQ(filesBeside(database), held);
        writer.end();
        EXPECT_EQ(controller->getMailFromDB(1), "new@example.org");
    }
}

// Another process that holds a write lock on one byte of the file until it ends, as a writer
// holds SQLite's pending, reserved or shared lock bytes.
class ByteLock {
public:
    ByteLock(const fs::path& file, off_t byte)
    {
        PipeEnds ready = makePipe();
        PipeEnds release = makePipe();
        if (!ready.read || !release.read)
            return;
        m_child = ::fork();
        if (m_child == 0) {
            ready.read.reset();
            release.write.reset();
            const int fd = ::open(file.c_str(), O_RDWR);
            struct flock lock { };
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            lock.l_start = byte;
            lock.l_len = 1;
            const char answer = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
            [[maybe_unused]] const auto written = ::write(ready.write.get(), &answer, 1);
            char ignored;
            [[maybe_unused]] const auto read = ::read(release.read.get(), &ignored, 1);
            ::_exit(0);
        }
        ready.write.reset();
        release.read.reset();
        char answer = 'n';
        holding = ::read(ready.read.get(), &answer, 1) == 1 && answer == 'y';
        m_release = std::move(release.write);
    }
    ~ByteLock()
    {
        m_release.reset();
        if (m_child > 0)
            ::waitpid(m_child, nullptr, 0);
    }
    ByteLock(const ByteLock&) = delete;
    ByteLock& operator=(const ByteLock&) = delete;

    bool holding { false };

private:
    pid_t m_child { -1 };
    weeapp::FileDescriptor m_release;
};

// A write-ahead-log database is refused while another process holds its pending byte or any of
// its 510 shared bytes, and read while the lock is on the reserved byte between them or on the
// first byte past them, which keep no reader out.
TEST_F(AddressBookTest, OnlyTheLockBytesThatKeepReadersOutRefuse)
{
    const fs::path database = realPath(sys::kAddressBookPath);
    writeAddressBook({ { 1, "first@example.org" } });
    makeWalState(database, Wal::Missing, false);
    constexpr off_t kPending = 0x40000000;
    const std::pair<off_t, const char*> cases[] = {
        { kPending, "" },
        { kPending + 1, "old@example.org" },
        { kPending + 2, "" },
        { kPending + 2 + 509, "" },
        { kPending + 2 + 510, "old@example.org" },
    };
    for (const auto& [byte, address] : cases) {
        SCOPED_TRACE(byte - kPending);
        ByteLock lock(database, byte);
        ASSERT_TRUE(lock.holding);
        EXPECT_EQ(controller->getMailFromDB(1), address);
    }
}

// With standard input closed the database's first look may get descriptor 0; it is read all
// the same.
TEST_F(AddressBookTest, ReadsWhenStandardInputIsClosed)
{
    writeAddressBook({ { 1, "first@example.org" } });
    const weeapp::FileDescriptor saved(::dup(STDIN_FILENO));
    ASSERT_TRUE(saved);
    ASSERT_EQ(weeapp::FileDescriptor(STDIN_FILENO).close(), 0);
    const std::string mail = controller->getMailFromDB(1);
    ::dup2(saved.get(), STDIN_FILENO);
    EXPECT_EQ(mail, "first@example.org");
}

// A phone whose folder's name holds characters that mean something in a URI (space, %, ?, #)
// or are kept in one as they are (~ _ - .) reads its write-ahead-log database all the same,
// and adds no file beside it.
TEST_F(AddressBookTest, PhoneFolderWithUriCharactersIsRead)
{
    writeAddressBook({ { 1, "first@example.org" } });
    const fs::path database = realPath(sys::kAddressBookPath);
    makeWalState(database, Wal::Missing, false);
    const fs::path root = realPath("/").parent_path(); // the folder, without a final separator
    const fs::path odd = root.string() + " 100% ?#~_-.";
    fs::copy(root, odd, fs::copy_options::recursive);
    sys::setPhoneRoot(odd);
    const fs::path copied = odd / fs::relative(database, root);
    const std::set<std::string> before = filesBeside(copied);
    const std::string mail = controller->getMailFromDB(1);
    const std::set<std::string> after = filesBeside(copied);
    sys::setPhoneRoot(root);
    fs::remove_all(odd);
    EXPECT_EQ(mail, "old@example.org");
    EXPECT_EQ(after, before);
}

// Lookups leave nothing of SQLite's behind: the widget asks for every tile on every rebuild, so
// a statement or connection kept per lookup would grow without end.
TEST_F(AddressBookTest, LookupsLeaveNoSqliteMemoryBehind)
{
    writeAddressBook({ { 1, "first@example.org" } });
    EXPECT_EQ(controller->getMailFromDB(1), "first@example.org");
    const sqlite3_int64 settled = sqlite3_memory_used();
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(controller->getMailFromDB(1), "first@example.org");
        EXPECT_EQ(controller->getMailFromDB(2), "");
        controller->getImageFromDB(1);
    }
    EXPECT_EQ(sqlite3_memory_used(), settled);
}

// Databases given as bytes answer as their files do, a write-ahead-log one and an empty or
// broken one included, while the files stay untouched; once cleared, the files are read again.
// Bytes given for any other path change nothing.
TEST_F(AddressBookTest, DatabasesReadFromMemoryAnswerAsTheirFiles)
{
    struct ClearedAtEnd {
        ~ClearedAtEnd() { clearAddressBookBytes(); }
    } clearedAtEnd;
    writeBundleImages();
    writeAddressBook({ { 1, "file@example.org" } });
    writeThumbnails({ { 1, pngBytes(4, 4) } });
    const auto bytesOf = [this](const char* phonePath) {
        std::ifstream file(realPath(phonePath), std::ios::binary);
        return std::vector<std::uint8_t> { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
    };
    const std::vector<std::uint8_t> images = bytesOf(sys::kAddressBookImagesPath);
    std::filesystem::remove(realPath(sys::kAddressBookPath));
    // In write-ahead-log mode, its rows all "old@example.org".
    writeAddressBook({ { 1, "memory@example.org" } });
    makeWalState(realPath(sys::kAddressBookPath), Wal::Missing, false);
    const std::vector<std::uint8_t> walBook = bytesOf(sys::kAddressBookPath);
    ASSERT_EQ(walBook.at(18), 2);
    std::filesystem::remove(realPath(sys::kAddressBookPath));
    writeAddressBook({ { 1, "file@example.org" } });
    const std::set<std::string> files = filesBeside(realPath(sys::kAddressBookPath));
    const std::vector<std::uint8_t> broken(4096, 'x');

    setAddressBookBytes("/var/mobile/Library/AddressBook/Other.sqlitedb", broken);
    EXPECT_EQ(controller->getMailFromDB(1), "file@example.org");
    EXPECT_EQ(controller->getImageFromDB(1)->size(), (ui::Size { 4, 4 }));

    setAddressBookBytes(sys::kAddressBookPath, walBook);
    setAddressBookBytes(sys::kAddressBookImagesPath, images);
    EXPECT_EQ(controller->getMailFromDB(1), "old@example.org");
    EXPECT_EQ(controller->getMailFromDB(2), "");
    ASSERT_NE(controller->getImageFromDB(1), nullptr);
    EXPECT_EQ(controller->getImageFromDB(1)->size(), (ui::Size { 4, 4 }));
    EXPECT_EQ(controller->getImageFromDB(2)->source(), std::string("file:") + kPlaceholderPhotoPath);
    weeapp::SqliteConnection connection(controller->getNewABDBConnection());
    ASSERT_TRUE(connection);
    EXPECT_EQ(sqlite3_exec(connection.get(), "DELETE FROM ABMultiValue", nullptr, nullptr, nullptr), SQLITE_READONLY);
    connection.reset();
    EXPECT_EQ(controller->getMailFromDB(1), "old@example.org");

    setAddressBookBytes(sys::kAddressBookPath, {});
    setAddressBookBytes(sys::kAddressBookImagesPath, broken);
    connection.reset(controller->getNewABDBConnection());
    EXPECT_TRUE(connection) << "empty bytes, like an empty file, are an empty database";
    connection.reset();
    EXPECT_EQ(controller->getMailFromDB(1), "");
    EXPECT_EQ(controller->getImageFromDB(1)->source(), std::string("file:") + kPlaceholderPhotoPath);
    EXPECT_EQ(filesBeside(realPath(sys::kAddressBookPath)), files);

    clearAddressBookBytes();
    EXPECT_EQ(controller->getMailFromDB(1), "file@example.org");
}
}
}

#include "backup/backup_writer.h"
#include "backup/sqlite_handles.h"
#include "support/host_harness.h"
#include "support/scoped_environment.h"
#include "support/small_file_limit.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <regex>

namespace kavrin::testing {
namespace {

using phone_files::BackupIndexFormat;
using phone_files::BackupOptions;

constexpr const char* kImagesFile = "private/var/mobile/Library/AddressBook/AddressBookImages.sqlitedb";

void setWritable(const fs::path& folder, bool writable)
{
    const auto mode = writable ? fs::perm_options::add : fs::perm_options::remove;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        if (!entry.is_symlink())
            fs::permissions(entry.path(), fs::perms::owner_write, mode);
    fs::permissions(folder, fs::perms::owner_write, mode);
}

// What python's sqlite3 module answers to a query on a database file, as a second reader.
std::string secondReader(const fs::path& database, const std::string& query)
{
    const std::string script =
        "import sqlite3, sys\n"
        "print(sqlite3.connect(sys.argv[1]).execute(sys.argv[2]).fetchone()[0])\n";
    TemporaryFolder io;
    const fs::path file = io.write("reader.py", script);
    const std::string command = "python3 '" + file.string() + "' '" + database.string() + "' \"" + query + "\" > '" + (io.path() / "out").string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return readFile(io.path() / "out");
}

// A phone root and its backup, and a folder for the import.
class BackupFixture {
public:
    explicit BackupFixture(bool demoPhone = true)
    {
        if (demoPhone) {
            phone.writeDemoPhone();
            phone.writeSettings({ { "showLabels", weeapp::sys::Value::boolean(false) }, { "standardAction", weeapp::sys::Value::integer(2) } });
        }
    }
    void writeBackup(const BackupOptions& options = {})
    {
        const Result<void> written = phone_files::writeBackup(phone.path(), backup(), options);
        ASSERT_TRUE(written.ok()) << written.error();
    }
    fs::path backup() const { return folder.path() / "backup"; }
    fs::path root() const { return folder.path() / "imported"; }
    RunResult import() const { return runProgram("kavrin-import-backup", { backup().string(), root().string() }); }
    // Only the backup and the root (when it was made) are in the folder: nothing half-made is
    // left beside them.
    std::vector<std::string> folderNames() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    PhoneRoot phone;
    TemporaryFolder folder;
};

// A backup in either index format, of the phone the tests write, imports into a root that the
// host shows exactly as the phone itself; the backup, read-only for the run, is unchanged, and the
// root is its owner's alone.
TEST(ImportBackup, ShowsTheBackedUpPhoneAsThePhoneItself)
{
    for (BackupIndexFormat format : { BackupIndexFormat::Database, BackupIndexFormat::Mbdb }) {
        SCOPED_TRACE(format == BackupIndexFormat::Database ? "Manifest.db" : "Manifest.mbdb");
        BackupFixture fixture;
        fixture.writeBackup({ .format = format, .otherFiles = 300 });
        const auto before = contentsOf(fixture.backup());
        setWritable(fixture.backup(), false);
        const RunResult result = fixture.import();
        setWritable(fixture.backup(), true);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(contentsOf(fixture.backup()), before);

        EXPECT_EQ(result.lines(), (std::vector<std::string> {
                                      "imported the backup of \"Test Phone\" made 2026-12-01 10:30 UTC into " + fixture.root().string(),
                                      "favorites: 14, 10 with a photo",
                                      "settings: showLabels = NO, standardAction = 2",
                                  }));
        TemporaryFolder pictures;
        const auto script = [&](const char* picture) { return "view\ndump\nrender " + (pictures.path() / picture).string() + "\n"; };
        const RunResult imported = runProgram("kavrin-host", { "--root", fixture.root().string(), "--seed", "1", "--script", "-" }, script("imported.png"));
        const RunResult original = fixture.phone.host(script("original.png"));
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(imported.lines().at(0), original.lines().at(0));
        EXPECT_TRUE(Picture(pictures.path() / "imported.png") == Picture(pictures.path() / "original.png"));
        EXPECT_NE(imported.out.find("\"image\": {\"source\": \"data\""), std::string::npos);

        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(fixture.root())) {
            const fs::perms mode = entry.symlink_status().permissions() & fs::perms::all;
            if (entry.is_symlink())
                continue;
            EXPECT_EQ(mode, entry.is_directory() ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write) << entry.path();
        }
        EXPECT_EQ(fs::status(fixture.root()).permissions() & fs::perms::all, fs::perms::owner_all);
        EXPECT_EQ(fixture.folderNames(), (std::vector<std::string> { "backup", "imported" }));

        // An earlier import is replaced whole, without being asked.
        fs::remove(fixture.root() / PhoneRoot::kSettings);
        const RunResult again = fixture.import();
        ASSERT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(again.lines().front().rfind("replaced the earlier import with the backup of \"Test Phone\"", 0), 0u) << again.out;
        EXPECT_TRUE(fs::exists(fixture.root() / PhoneRoot::kSettings));
        EXPECT_EQ(fixture.folderNames(), (std::vector<std::string> { "backup", "imported" }));
    }
}

// Each backup that cannot be imported, and each folder that may not be written, is refused with
// status 2 and one line, and nothing is made.
TEST(ImportBackup, RefusesWithOneLineAndLeavesNothing)
{
    struct Case {
        const char* name;
        BackupOptions options;
        std::function<void(BackupFixture&)> spoil;
        const char* message;
    };
    const std::vector<Case> cases {
        { "encrypted", { .encrypted = true }, {}, "is an encrypted backup; an unencrypted backup is needed" },
        { "an encrypted index", {}, [](BackupFixture& fixture) { std::ofstream(fixture.backup() / "Manifest.db", std::ios::binary) << std::string(4096, '\x5a'); },
            "is an encrypted backup (its index is no readable database); an unencrypted backup is needed" },
        { "unfinished", { .finished = false }, {}, "is an unfinished backup" },
        { "no backup", {}, [](BackupFixture& fixture) { fs::remove(fixture.backup() / "Manifest.db"); }, "is no backup of a phone: it holds no Manifest.db or Manifest.mbdb" },
        { "no folder", {}, [](BackupFixture& fixture) { fs::remove_all(fixture.backup()); }, "is no folder" },
        { "a file missing", {}, [](BackupFixture& fixture) { fs::remove(fixture.backup() / "31/31bb7ba8914766d4ba40d6dfb6113c8b614be442"); }, "lists HomeDomain-Library/AddressBook/AddressBook.sqlitedb, but its file 31bb7ba8914766d4ba40d6dfb6113c8b614be442 is missing" },
        { "a file cut short", { .format = BackupIndexFormat::Mbdb }, [&](BackupFixture& fixture) {
             const fs::path stored = fixture.backup() / "31bb7ba8914766d4ba40d6dfb6113c8b614be442";
             fs::resize_file(stored, fs::file_size(stored) - 1); },
            "but its file 31bb7ba8914766d4ba40d6dfb6113c8b614be442 is shorter" },
        { "a cut index", { .format = BackupIndexFormat::Mbdb }, [](BackupFixture& fixture) { fs::resize_file(fixture.backup() / "Manifest.mbdb", fs::file_size(fixture.backup() / "Manifest.mbdb") - 3); },
            "the backup's index ends inside a record" },
        { "a folder of the user's", {}, [](BackupFixture& fixture) { fixture.folder.write("imported/notes.txt", "mine"); }, "holds files of its own and no earlier import; name a new or empty folder" },
        { "a file as ROOT", {}, [](BackupFixture& fixture) { fixture.folder.write("imported", "mine"); }, "is no folder; name a new or empty folder, or an earlier import" },
        { "a link as ROOT", {}, [](BackupFixture& fixture) { fs::create_directory_symlink(fixture.folder.path() / "backup", fixture.root()); }, "is a link; name a new or empty folder, or an earlier import" },
    };
    for (const Case& refusal : cases) {
        SCOPED_TRACE(refusal.name);
        BackupFixture fixture;
        fixture.writeBackup(refusal.options);
        if (refusal.spoil)
            refusal.spoil(fixture);
        const bool rootThere = fs::exists(fixture.root());
        const bool rootFolder = fs::is_directory(fixture.root());
        const auto before = rootFolder ? contentsOf(fixture.root()) : std::map<std::string, std::string> {};
        const RunResult result = fixture.import();
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        ASSERT_EQ(linesOf(result.err).size(), 1u) << result.err;
        EXPECT_EQ(result.err.rfind("kavrin-import-backup: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(refusal.message), std::string::npos) << result.err;
        EXPECT_EQ(fs::exists(fixture.root()), rootThere);
        if (rootFolder) {
            EXPECT_EQ(contentsOf(fixture.root()), before);
        }
        std::vector<std::string> expected;
        if (fs::exists(fixture.backup()))
            expected.push_back("backup");
        if (rootThere)
            expected.push_back("imported");
        EXPECT_EQ(fixture.folderNames(), expected);
    }
}

// A phone set up fresh has favorites and no address book: they are imported, and the summary
// says why none has a photo. An index named in the wrong case is found, and an empty folder is a
// fine ROOT.
TEST(ImportBackup, ImportsAPhoneWithoutAnAddressBook)
{
    BackupFixture fixture(false);
    fixture.phone.writeFavorites({ favorite("Anna Lindqvist", 101, "_$!<Mobile>!$_", "+49 170 123 4567"), favorite("Lea", 108, "iPhone", "0170 5550123") });
    fixture.writeBackup();
    fs::rename(fixture.backup() / "Manifest.db", fixture.backup() / "manifest.db");
    fs::create_directory(fixture.root());
    const RunResult result = fixture.import();
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.lines().at(1), "favorites: 2, shown without photos: the backup has no address book");
    EXPECT_EQ(result.lines().at(2), "settings: defaults");
    const RunResult shown = runProgram("kavrin-host", { "--root", fixture.root().string(), "--seed", "1", "--script", "-" }, "view\ndump\n");
    EXPECT_EQ(shown.out, fixture.phone.host("view\ndump\n").out);
    EXPECT_NE(shown.out.find("Lea"), std::string::npos);
}

// The summary says what came across: no favorites when their list is no list, and why no photos
// are shown when the address book has no images; images that are no database give no photo.
TEST(ImportBackup, SummarySaysWhatCameAcross)
{
    const std::string addressBook = std::string(weeapp::sys::kAddressBookPath).substr(1);
    const std::string images = std::string(weeapp::sys::kAddressBookImagesPath).substr(1);
    BackupFixture fixture(false);
    fixture.phone.writeRaw(std::string(weeapp::sys::kFavoritesPath).substr(1), "<plist><dict><key>Name</key><string>Anna</string></dict></plist>");
    fixture.phone.writeRaw(addressBook, "not a database");
    fixture.writeBackup();
    RunResult result = fixture.import();
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.lines().at(1), "favorites: 0, shown without photos: the backup's address book has no images");

    fixture.phone.writeFavorites({ favorite("Anna Lindqvist", 101, "_$!<Mobile>!$_", "+49 170 123 4567") });
    fixture.phone.writeRaw(images, "not a database either");
    fs::remove_all(fixture.backup());
    fixture.writeBackup();
    result = fixture.import();
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.lines().at(1), "favorites: 1, 0 with a photo");
}

// The program's own options: its version and help on standard output, a usage error on standard
// error with status 2, and --bundle naming the bundle the root links to.
TEST(ImportBackup, AnswersItsOwnOptions)
{
    const RunResult version = runProgram("kavrin-import-backup", { "--version" });
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("kavrin-import-backup [0-9]+\\.[0-9]+(\\.[0-9]+)?\n"))) << version.out;
    const RunResult help = runProgram("kavrin-import-backup", { "--help" });
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.err.empty()) << help.err;
    EXPECT_EQ(help.out.rfind("kavrin-import-backup: makes a phone root", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("usage: kavrin-import-backup"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--bundle DIR"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("Exit status: 0 imported"), std::string::npos) << help.out;
    const RunResult usage = runProgram("kavrin-import-backup", { "only-one" });
    EXPECT_EQ(usage.status, 2);
    EXPECT_TRUE(usage.out.empty()) << usage.out;
    EXPECT_NE(usage.err.find("usage: kavrin-import-backup BACKUP ROOT [--bundle DIR]\n"), std::string::npos) << usage.err;

    BackupFixture fixture;
    fixture.writeBackup();
    const fs::path bundle = fixture.folder.path() / "Elsewhere.bundle";
    fs::create_directory(bundle);
    const RunResult imported = runProgram("kavrin-import-backup", { fixture.backup().string(), fixture.root().string(), "--bundle", bundle.string() });
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_TRUE(fs::equivalent(fixture.root() / fs::path(kBundlePath).relative_path(), bundle));
}

// A root that cannot be written whole (here files may not grow past a few bytes, as on a full
// disk) fails with status 1, says why, and leaves nothing beside the backup.
TEST(ImportBackup, ARootThatCannotBeWrittenFails)
{
    BackupFixture fixture;
    fixture.writeBackup();
    const std::string command = program("kavrin-import-backup") + " '" + fixture.backup().string() + "' '" + fixture.root().string() + "' 2>&1";
    std::string output;
    int status = -1;
    {
        // Only the program's files are limited: its messages come through a pipe.
        SmallFileLimit limit;
        FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char buffer[512];
        while (std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, read);
        status = ::pclose(pipe);
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << output;
    EXPECT_EQ(output.rfind("kavrin-import-backup: cannot copy " + fixture.backup().string() + "/", 0), 0u) << output;
    EXPECT_EQ(fixture.folderNames(), std::vector<std::string> { "backup" });
}

// An index in write-ahead-log mode whose log holds the phone's rows, and an address book whose
// log is backed up beside it: the import reads what was committed, in the logs too, and writes
// nothing beside the backup's index; its private copy of the index is gone at the end.
TEST(ImportBackup, ReadsTheRowsCommittedToTheLogs)
{
    BackupFixture fixture;
    const fs::path images = fixture.phone.path() / kImagesFile;
    {
        phone_files::SqliteConnection images_ = phone_files::openSqlite(images.c_str(), SQLITE_OPEN_READWRITE);
        ASSERT_TRUE(images_);
        sqlite3_db_config(images_.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        ASSERT_EQ(sqlite3_exec(images_.get(), "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; DELETE FROM ABThumbnailImage WHERE record_id > 105;", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    ASSERT_GT(fs::file_size(images.string() + "-wal"), 0u);
    fixture.writeBackup({ .otherFiles = 50, .indexInLogMode = true, .logHoldsFiles = true });
    ASSERT_GT(fs::file_size(fixture.backup() / "Manifest.db-wal"), 0u);
    const std::string index = readFile(fixture.backup() / "Manifest.db");
    EXPECT_EQ(index[18], 2);
    EXPECT_EQ(index.find("HomeDomain"), std::string::npos) << "the phone's rows are in the log alone";

    const auto before = contentsOf(fixture.backup());
    setWritable(fixture.backup(), false);
    TemporaryFolder temporary;
    const RunResult result = [&] {
        const ScopedEnvironment privateCopies("TMPDIR", temporary.path().string());
        return fixture.import();
    }();
    setWritable(fixture.backup(), true);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(contentsOf(fixture.backup()), before);
    EXPECT_TRUE(fs::is_empty(temporary.path())) << "the private copy of the index is removed";
    EXPECT_EQ(result.lines().at(1), "favorites: 14, 4 with a photo");
    EXPECT_TRUE(fs::exists(fixture.root() / (std::string(kImagesFile) + "-wal")));
    // Four of the fourteen favorites keep their thumbnails once the log's deletion is read.
    EXPECT_EQ(secondReader(fixture.root() / kImagesFile, "SELECT count(*) FROM ABThumbnailImage WHERE format = 0"), "4\n");
    const RunResult imported = runProgram("kavrin-host", { "--root", fixture.root().string(), "--seed", "1", "--script", "-" }, "view\ndump\n");
    EXPECT_EQ(imported.out, fixture.phone.host("view\ndump\n").out);
}

}
}

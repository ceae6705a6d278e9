#include "backup/backup_import.h"
#include "backup/backup_writer.h"
#include "bench_support.h"
#include "demo_phone.h"
#include "support/temporary_folder.h"

#include <map>

namespace kavrin::bench {

namespace {

namespace fs = std::filesystem;
using namespace phone_files;

// The demo phone and its backup, whose index lists that many other files before the phone's
// own: written in the setup of the first case that needs it, and removed when the run ends.
struct DemoBackup {
    explicit DemoBackup(std::size_t otherFiles)
        : failure(writeDemoBackup(folder.path(), otherFiles))
    {
    }
    fs::path backup() const { return folder.path() / "backup"; }

    testing::TemporaryFolder folder;
    std::string failure;
};

const DemoBackup& demoBackup(std::size_t otherFiles)
{
    static std::map<std::size_t, std::unique_ptr<DemoBackup>> backups;
    std::unique_ptr<DemoBackup>& backup = backups[otherFiles];
    if (!backup)
        backup = std::make_unique<DemoBackup>(otherFiles);
    return *backup;
}

void removeFolder(const fs::path& folder)
{
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

}

std::string writeDemoBackup(const fs::path& folder, std::size_t otherFiles)
{
    if (const Result<void> written = writeDemoPhone(folder / "phone", builtBundleFolder()); !written)
        return written.error();
    if (const Result<void> written = writeBackup(folder / "phone", folder / "backup", { .otherFiles = otherFiles }); !written)
        return written.error();
    return {};
}

// The import of the demo phone from a backup whose index has a thousand and a million other
// rows, beside the copy of the same files alone: what the index costs is the difference
// between the two cases, and the making of the root (its folders, the bundle link, the
// permissions, the summary, the move into place) is the case's time above the floor.
void registerImportBenchmarks()
{
    for (const std::size_t rows : { std::size_t { 1000 }, std::size_t { 1'000'000 } }) {
        registerPair(
            "importBackup/" + std::to_string(rows) + "-rows",
            [rows] {
                const DemoBackup& demo = demoBackup(rows);
                const fs::path root = demo.folder.path() / "imported";
                auto favorites = std::make_shared<std::size_t>(0);
                return Work { [root] { removeFolder(root); },
                    [&demo, root, favorites] {
                        const Result<ImportPlan> plan = planImport(BackupFolder(demo.backup()));
                        Result<ImportRoot> target = plan ? ImportRoot::prepare(root) : Result<ImportRoot>(Error { plan.error() });
                        const Result<ImportSummary> summary = target ? carryOutImport(*plan, *target, builtBundleFolder()) : Result<ImportSummary>(Error { target.error() });
                        *favorites = summary ? summary->favorites : 0;
                    },
                    [&demo, favorites] { return !demo.failure.empty() ? demo.failure : *favorites == 14 ? std::string()
                                                                                                        : "the import found no favorites"; } };
            },
            [rows] {
                const DemoBackup& demo = demoBackup(rows);
                const Result<ImportPlan> plan = planImport(BackupFolder(demo.backup()));
                const fs::path copies = demo.folder.path() / "copies";
                auto files = std::make_shared<std::vector<fs::path>>();
                if (plan)
                    for (const ImportPlan::File& file : plan->files)
                        files->push_back(file.copy);
                return Work { [copies] { removeFolder(copies); },
                    [copies, files] {
                        std::error_code ignored;
                        fs::create_directory(copies, ignored);
                        for (const fs::path& file : *files)
                            fs::copy_file(file, copies / file.filename(), ignored);
                    },
                    [files] { return files->size() == 4 ? std::string() : "the floor copies " + std::to_string(files->size()) + " files, not 4"; } };
            });
    }
}

}

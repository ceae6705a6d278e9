#include "backup/backup_file_id.h"
#include "backup/backup_import.h"
#include "backup/backup_writer.h"
#include "bench_support.h"
#include "demo_phone.h"
#include "support/temporary_folder.h"

namespace kavrin::bench {

namespace {

namespace fs = std::filesystem;
using namespace phone_files;

constexpr std::size_t kIndexRows = 1'000'000;

// The demo phone and its backup, whose index lists a million other files before the phone's
// own: written once, in the first case's setup, and removed when the run ends.
struct BigBackup {
    BigBackup()
        : failure(writeDemoBackup(folder.path(), kIndexRows))
    {
    }
    fs::path backup() const { return folder.path() / "backup"; }

    testing::TemporaryFolder folder;
    std::string failure;
};

const BigBackup& bigBackup()
{
    static const BigBackup backup;
    return backup;
}

void removeFolder(const fs::path& folder)
{
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

}

std::string writeDemoBackup(const fs::path& folder, std::size_t otherFiles)
{
    std::string error;
    if (!writeDemoPhone(folder / "phone", builtBundleFolder(), error))
        return error;
    if (const Result<void> written = writeBackup(folder / "phone", folder / "backup", { .otherFiles = otherFiles }); !written)
        return written.error();
    return {};
}

// The import of the demo phone from a backup whose index has a million rows, beside the copy of
// the same files alone: what the index costs is the case's time above the floor.
void registerImportBenchmarks()
{
    registerPair(
        "importBackup/1000000-rows",
        [] {
            const BigBackup& big = bigBackup();
            const fs::path root = big.folder.path() / "imported";
            auto favorites = std::make_shared<std::size_t>(0);
            return Work { [root] { removeFolder(root); },
                [&big, root, favorites] {
                    const Result<ImportPlan> plan = planImport(BackupFolder(big.backup()));
                    Result<ImportRoot> target = plan ? ImportRoot::prepare(root) : Result<ImportRoot>(Error { plan.error() });
                    const Result<ImportSummary> summary = target ? carryOutImport(*plan, *target, builtBundleFolder()) : Result<ImportSummary>(Error { target.error() });
                    *favorites = summary ? summary->favorites : 0;
                },
                [&big, favorites] { return !big.failure.empty() ? big.failure : *favorites == 14 ? std::string()
                                                                                                 : "the import found no favorites"; } };
        },
        [] {
            const BigBackup& big = bigBackup();
            const Result<ImportPlan> plan = planImport(BackupFolder(big.backup()));
            const fs::path copies = big.folder.path() / "copies";
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

#include "bench_support.h"
#include "error_reporter.h"
#include "pair_measurement.h"
#include "table_reporter.h"

#include <valgrind/valgrind.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

using kavrin::bench::MeasurementSettings;

constexpr kavrin::support::ErrorReporter kBenchErrors { "kavrin-bench" };

// kavrin-bench --write-phone DIR N: a phone root with N favorites for kavrin-host, for
// measuring a host session's memory.
int writePhone(const char* root, const char* favorites)
{
    char* end = nullptr;
    const long count = std::strtol(favorites, &end, 10);
    if (*favorites == '\0' || *end != '\0' || count < 0 || count > 100000) {
        kBenchErrors.report(std::cerr, "--write-phone DIR N, with N from 0 to 100000");
        return 2;
    }
    if (auto written = kavrin::bench::BenchPhone::writeForHost(root, static_cast<int>(count)); !written) {
        kBenchErrors.report(std::cerr, written.error());
        return 1;
    }
    return 0;
}

// kavrin-bench --write-backup DIR N: the demo phone and its backup with N other files in its
// index, for measuring the import's memory.
int writeBackup(const char* folder, const char* rows)
{
    char* end = nullptr;
    const long long count = std::strtoll(rows, &end, 10);
    if (*rows == '\0' || *end != '\0' || count < 0 || count > 100'000'000) {
        std::fprintf(stderr, "kavrin-bench: --write-backup DIR N, with N from 0 to 100000000\n");
        return 2;
    }
    if (const std::string error = kavrin::bench::writeDemoBackup(folder, static_cast<std::size_t>(count)); !error.empty()) {
        std::fprintf(stderr, "kavrin-bench: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

// Takes this program's own options out of the arguments, before Google Benchmark reads its own:
//   --pairs=N                 iterations of every case (21), of one pair of batches each, or
//                             up to 16 for a short case, so that it is measured for about two
//                             seconds
//   --count-instructions=FILE counts instructions instead of timing; run under
//                             valgrind --tool=callgrind --collect-atstart=no
//                             --callgrind-out-file=FILE.callgrind, and the counts go to FILE
//   --instructions=FILE       the counts of such a run, shown beside the times
// and notes whether Google Benchmark's own format was asked for (--benchmark_format=json or
// csv), which the table would hide.
bool takeOwnOptions(std::vector<char*>& arguments, bool& libraryFormat)
{
    MeasurementSettings& settings = kavrin::bench::measurementSettings();
    std::vector<char*> kept;
    for (char* argument : arguments) {
        const std::string text = argument;
        const auto value = [&text](std::string_view option) { return text.substr(option.size()); };
        if (text.starts_with("--pairs=")) {
            settings.pairs = std::max(1, std::atoi(value("--pairs=").c_str()));
        } else if (text.starts_with("--count-instructions=")) {
            if (!RUNNING_ON_VALGRIND) {
                kBenchErrors.report(std::cerr, "--count-instructions runs under valgrind --tool=callgrind");
                return false;
            }
            settings.instructionsOut = value("--count-instructions=");
            settings.callgrindOutput = settings.instructionsOut + ".callgrind";
            std::remove(settings.instructionsOut.c_str());
        } else if (text.starts_with("--instructions=")) {
            if (!kavrin::bench::loadInstructions(value("--instructions="))) {
                kBenchErrors.report(std::cerr, "cannot read " + text);
                return false;
            }
        } else {
            if (text.starts_with("--benchmark_format="))
                libraryFormat = value("--benchmark_format=") != "console";
            kept.push_back(argument);
        }
    }
    arguments = kept;
    return true;
}

}

int main(int argc, char** argv)
{
    kavrin::bench::BenchEnvironment environment;
    if (argc >= 2 && std::string(argv[1]) == "--write-phone") {
        if (argc != 4) {
            std::fprintf(stderr, "usage: kavrin-bench --write-phone DIR N\n");
            return 2;
        }
        return writePhone(argv[2], argv[3]);
    }
    if (argc >= 2 && std::string(argv[1]) == "--write-backup") {
        if (argc != 4) {
            std::fprintf(stderr, "usage: kavrin-bench --write-backup DIR N\n");
            return 2;
        }
        return writeBackup(argv[2], argv[3]);
    }
    std::vector<char*> arguments(argv, argv + argc);
    bool libraryFormat = false;
    if (!takeOwnOptions(arguments, libraryFormat))
        return 2;
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;
    using namespace kavrin::bench;
    registerLookupBenchmarks();
    registerViewBenchmarks();
    registerTapBenchmarks();
    registerPreferenceBenchmarks();
    registerRenderBenchmarks();
    registerImportBenchmarks();
    if (libraryFormat) {
        benchmark::RunSpecifiedBenchmarks();
    } else {
        TableReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
    }
    benchmark::Shutdown();
    return 0;
}

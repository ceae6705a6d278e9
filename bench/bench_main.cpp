#include "bench_support.h"
#include "table_reporter.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// kavrin-bench --write-phone DIR N: a phone root with N favorites for kavrin-host, for
// measuring a host session's memory.
int writePhone(const char* root, const char* favorites)
{
    char* end = nullptr;
    const long count = std::strtol(favorites, &end, 10);
    std::string error;
    if (*favorites == '\0' || *end != '\0' || count < 0 || count > 100000) {
        std::fprintf(stderr, "kavrin-bench: --write-phone DIR N, with N from 0 to 100000\n");
        return 2;
    }
    if (!kavrin::bench::BenchPhone::writeForHost(root, static_cast<int>(count), error)) {
        std::fprintf(stderr, "kavrin-bench: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == "--write-phone") {
        if (argc != 4) {
            std::fprintf(stderr, "usage: kavrin-bench --write-phone DIR N\n");
            return 2;
        }
        return writePhone(argv[2], argv[3]);
    }
    // Each case three times, the table from the medians, a run of a few minutes in all; flags
    // given on the command line come later and win.
    std::vector<char*> arguments { argv[0] };
    std::string defaults[] = { "--benchmark_repetitions=3", "--benchmark_min_time=0.2", "--benchmark_report_aggregates_only=true" };
    for (std::string& flag : defaults)
        arguments.push_back(flag.data());
    arguments.insert(arguments.end(), argv + 1, argv + argc);
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
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

#include "pair_measurement.h"

#include "table_reporter.h"

#include <valgrind/callgrind.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace kavrin::bench {

namespace {

double threadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The CPU time of one run, the mean of a batch of that many; the preparations are left out.
double timeBatch(const Work& work, int runs)
{
    if (!work.prepare) {
        const double start = threadSeconds();
        for (int i = 0; i < runs; ++i)
            work.run();
        return (threadSeconds() - start) / runs;
    }
    double total = 0;
    for (int i = 0; i < runs; ++i) {
        work.prepare();
        const double start = threadSeconds();
        work.run();
        total += threadSeconds() - start;
    }
    return total / runs;
}

int batchRuns(double secondsOfOne)
{
    const double runs = measurementSettings().batchSeconds / std::max(secondsOfOne, 1e-9);
    return static_cast<int>(std::clamp(runs, 1.0, 100000.0));
}

// What one run costs once the case is warm, to size its batches by. A first run can cost many
// times the next (a frame lays its texts out, and keeps them for the frames after it), so it is
// left out; a short case is timed over about a millisecond of runs, not one.
double secondsOfWarmRun(const Work& work)
{
    constexpr double kSizingSeconds = 0.001;
    timeBatch(work, 1);
    const double once = timeBatch(work, 1);
    const int runs = static_cast<int>(std::clamp(kSizingSeconds / std::max(once, 1e-9), 1.0, 10000.0));
    return runs > 1 ? timeBatch(work, runs) : once;
}

// How a case is measured by time. A pair is up to 16 slices, a slice a few runs of each side, so
// that a change of the machine's speed that lasts less than a batch (another guest on the
// host's core, time taken from the virtual CPU, which the thread's clock still counts) falls on
// both sides alike; a case of one run a batch has one slice. A short case measures several pairs
// a benchmark iteration, for about two seconds in all: its pairs spread more than a long case's,
// and a slower stretch of the host's that lasts a second would move a median of one second's
// pairs.
struct PairPlan {
    int slices { 1 };
    int workSlice { 1 };
    int floorSlice { 1 };
    int pairsPerIteration { 1 };
};

PairPlan planPairs(double workOnce, double floorOnce, int iterations)
{
    constexpr int kSlicesOfAPair = 16;
    constexpr int kMostPairsPerIteration = 16;
    constexpr double kMeasuredSeconds = 2.0;
    const int workRuns = batchRuns(workOnce);
    const int floorRuns = batchRuns(floorOnce);
    PairPlan plan;
    plan.slices = std::clamp(std::min(workRuns, floorRuns), 1, kSlicesOfAPair);
    plan.workSlice = std::max(1, workRuns / plan.slices);
    plan.floorSlice = std::max(1, floorRuns / plan.slices);
    const double pairSeconds = plan.slices * (plan.workSlice * workOnce + plan.floorSlice * floorOnce);
    const double pairs = kMeasuredSeconds / std::max(pairSeconds * std::max(iterations, 1), 1e-9);
    plan.pairsPerIteration = static_cast<int>(std::clamp(pairs, 1.0, static_cast<double>(kMostPairsPerIteration)));
    return plan;
}

// The mean CPU time of one run of each side over one pair. The two sides take every slice in
// the same order, the case and then its floor, so that every batch of either side follows one of
// the other, in every pair and from one pair to the next: a batch that followed one of its own
// side would find the caches warm for it, and the side that had more such batches in a pair
// would seem the faster.
std::pair<double, double> measureOnePair(const Work& work, const Work& floor, const PairPlan& plan)
{
    double workTime = 0;
    double floorTime = 0;
    for (int slice = 0; slice < plan.slices; ++slice) {
        workTime += timeBatch(work, plan.workSlice);
        floorTime += timeBatch(floor, plan.floorSlice);
    }
    return { workTime / plan.slices, floorTime / plan.slices };
}

// The value at that fraction of the sorted values, between neighbours.
double quantile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double position = fraction * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(position);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (position - static_cast<double>(below));
}

std::string checkBoth(const Work& work, const Work& floor)
{
    std::string error = work.check ? work.check() : std::string();
    if (error.empty() && floor.check)
        error = floor.check();
    return error;
}

// The instructions of one dump, from its "totals:" line; 0 when it cannot be read.
double dumpedInstructions(int dump)
{
    const std::string path = measurementSettings().callgrindOutput + "." + std::to_string(dump);
    std::ifstream in(path);
    std::string line;
    double total = 0;
    while (std::getline(in, line)) {
        if (line.rfind("totals:", 0) == 0 || line.rfind("summary:", 0) == 0) {
            total = std::strtod(line.c_str() + line.find(':') + 1, nullptr);
            break;
        }
    }
    if (!std::getenv("KAVRIN_BENCH_KEEP_DUMPS"))
        std::remove(path.c_str());
    return total;
}

// The instructions of one run under callgrind: the mean of up to 50 runs, after runs to warm up
// (short cases allocate little, and the heap's first growth would show in them). How many runs
// is told by counted runs before them, never by the clock, so that a busy machine counts as many
// runs as a quiet one: about 25 million instructions, about a second under callgrind.
double countInstructions(const Work& work, const std::string& label)
{
    static int dumps = 0;
    const auto countedRun = [&work] {
        if (work.prepare)
            work.prepare();
        CALLGRIND_TOGGLE_COLLECT;
        work.run();
        CALLGRIND_TOGGLE_COLLECT;
    };
    const auto countedOnce = [&](const char* what) {
        countedRun();
        CALLGRIND_DUMP_STATS_AT((label + what).c_str());
        return std::max(dumpedInstructions(++dumps), 1.0);
    };
    constexpr double kCountedInstructions = 25e6;
    // A first run can cost many times the next (a frame lays its texts out once): a case that
    // small is sized by a run after two more.
    double perRun = countedOnce("/first");
    if (perRun < kCountedInstructions) {
        for (int i = 0; i < 2; ++i) {
            if (work.prepare)
                work.prepare();
            work.run();
        }
        perRun = countedOnce("/warm");
    }
    const int runs = static_cast<int>(std::clamp(kCountedInstructions / perRun, 1.0, 50.0));
    for (int i = 0; i < runs; ++i)
        countedRun();
    CALLGRIND_DUMP_STATS_AT(label.c_str());
    return dumpedInstructions(++dumps) / runs;
}

void recordInstructions(const std::string& name, double work, double floor)
{
    MeasurementSettings& settings = measurementSettings();
    settings.instructions[name] = { work, floor };
    std::ofstream out(settings.instructionsOut, std::ios::app);
    out.precision(17);
    out << name << '\t' << work << '\t' << floor << '\n';
}

}

MeasurementSettings& measurementSettings()
{
    static MeasurementSettings settings;
    return settings;
}

bool loadInstructions(const std::string& filePath)
{
    std::ifstream in(filePath);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        MeasurementSettings::Instructions counted;
        if (std::getline(fields, name, '\t') && fields >> counted.work >> counted.floor)
            measurementSettings().instructions[name] = counted;
    }
    return true;
}

void measurePair(benchmark::State& state, const std::string& name, const Work& work, const Work& floor, double favorites)
{
    const MeasurementSettings& settings = measurementSettings();
    if (favorites > 0)
        state.counters[TableReporter::kFavoritesCounter] = favorites;

    if (!settings.callgrindOutput.empty()) {
        const double workInstructions = countInstructions(work, name);
        const double floorInstructions = countInstructions(floor, name + "/floor");
        for (auto _ : state) {
        }
        if (const std::string error = checkBoth(work, floor); !error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
        recordInstructions(name, workInstructions, floorInstructions);
        state.counters["instructions"] = workInstructions;
        state.counters["floor_instructions"] = floorInstructions;
        if (floorInstructions > 0)
            state.counters["instructions_ratio"] = workInstructions / floorInstructions;
        return;
    }

    const double workOnce = secondsOfWarmRun(work);
    const double floorOnce = secondsOfWarmRun(floor);
    const PairPlan plan = planPairs(workOnce, floorOnce, settings.pairs);
    std::vector<double> workTimes;
    std::vector<double> floorTimes;
    std::vector<double> ratios;
    for (auto _ : state) {
        double iterationTime = 0;
        for (int pair = 0; pair < plan.pairsPerIteration; ++pair) {
            const auto [workTime, floorTime] = measureOnePair(work, floor, plan);
            iterationTime += workTime;
            workTimes.push_back(workTime);
            floorTimes.push_back(floorTime);
            ratios.push_back(floorTime > 0 ? workTime / floorTime : 0);
        }
        state.SetIterationTime(iterationTime / plan.pairsPerIteration);
    }
    if (const std::string error = checkBoth(work, floor); !error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    state.counters["time_ns"] = quantile(workTimes, 0.5) * 1e9;
    state.counters["floor_ns"] = quantile(floorTimes, 0.5) * 1e9;
    state.counters["ratio"] = quantile(ratios, 0.5);
    state.counters["ratio_iqr"] = quantile(ratios, 0.75) - quantile(ratios, 0.25);
    const auto counted = settings.instructions.find(name);
    if (counted != settings.instructions.end() && counted->second.floor > 0) {
        state.counters["instructions"] = counted->second.work;
        state.counters["floor_instructions"] = counted->second.floor;
        state.counters["instructions_ratio"] = counted->second.work / counted->second.floor;
    }
}

}

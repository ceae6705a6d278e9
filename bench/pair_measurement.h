#pragma once

#include "bench_support.h"

#include <map>
#include <string>

namespace kavrin::bench {

// How the cases are measured. By time: a case and its floor run in turn, a batch of each a pair, in
// the same process, each batch cut in slices that the two sides take in turn, the case first in
// every slice (a short case measures several pairs a benchmark iteration; the batches are sized by
// a run after the first), and the ratio of every pair is kept; the case reports the median ratio
// and the spread of the middle half (counters "ratio", "ratio_iqr"), the median times of one run
// ("time_ns", "floor_ns") and, when a count of instructions was loaded, the instruction ratio
// ("instructions_ratio"). By instructions, under callgrind: each case and its floor run once to
// warm up, then a few times with collection on, each side dumped on its own, and the counts written
// to a file for a timed run to load (with KAVRIN_BENCH_KEEP_DUMPS set, the dumps stay, for
// callgrind_annotate).
struct MeasurementSettings {
    // Benchmark iterations a case; a short case measures up to 16 pairs in each.
    int pairs { 21 };
    // A batch of runs takes about this long, so that the clock's own cost and resolution
    // do not show in short cases.
    double batchSeconds { 0.004 };
    // Counting instructions: the callgrind output file (--callgrind-out-file) whose numbered
    // dumps are read back; empty when timing.
    std::string callgrindOutput;
    // Where the counts go when counting, one line a case: name, case and floor instructions.
    std::string instructionsOut;
    struct Instructions {
        double work { 0 };
        double floor { 0 };
    };
    std::map<std::string, Instructions> instructions;
};

MeasurementSettings& measurementSettings();

// Reads the counts that a counting run wrote; false when the file cannot be read.
bool loadInstructions(const std::string& filePath);

// The body of a case's benchmark: the work and its floor measured as the settings say.
void measurePair(benchmark::State&, const std::string& name, const Work& work, const Work& floor, double favorites);

}

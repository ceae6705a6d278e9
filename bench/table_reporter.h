#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace kavrin::bench {

// The console's usual lines while the cases run, then one table: every case's median time
// beside its floor's, the median of their paired ratios with its spread (the interquartile
// range), the instruction ratio where one was counted, and for cases that build a tile for
// every favorite (those that set the counter kFavoritesCounter) the time per favorite. Times
// are CPU times of the measuring thread.
class TableReporter final : public benchmark::ConsoleReporter {
public:
    static constexpr double kTargetRatio = 1.10;
    static constexpr const char* kFavoritesCounter = "favorites";

    TableReporter();
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Measurement {
        std::map<std::string, double> counters;
        bool failed { false };
        std::string error;
    };
    std::map<std::string, Measurement> m_measurements;
    std::vector<std::string> m_order;
};

}

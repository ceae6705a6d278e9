#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace kavrin::bench {

// The console's usual lines while the cases run, then one table: every case beside its floor
// (the case of the same name with "/floor"), their ratio, and for cases that build a tile for
// every favorite (those that set the counter kFavoritesCounter) the time per favorite. Times are CPU times, the medians when the cases are
// repeated; the cases do nothing but work on the one thread, so CPU time leaves out the time
// that other processes on the machine take from it.
class TableReporter final : public benchmark::ConsoleReporter {
public:
    static constexpr double kTargetRatio = 1.3;
    static constexpr const char* kFavoritesCounter = "favorites";

    TableReporter();
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Measurement {
        double microseconds { 0 };
        double favorites { 0 };
        bool median { false };
        bool failed { false };
    };
    std::map<std::string, Measurement> m_measurements;
    std::vector<std::string> m_order;
};

}

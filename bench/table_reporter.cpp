#include "table_reporter.h"

#include <cstdio>
#include <ostream>
#include <unistd.h>

namespace kavrin::bench {

namespace {

constexpr std::string_view kFloorSuffix = "/floor";

std::string formatTime(double microseconds)
{
    char text[32];
    if (microseconds >= 1000.0)
        std::snprintf(text, sizeof text, "%.2f ms", microseconds / 1000.0);
    else
        std::snprintf(text, sizeof text, "%.1f µs", microseconds);
    return text;
}

}

TableReporter::TableReporter()
    : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Color : OO_None)
{
}

void TableReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (!median && !single && !run.error_occurred)
            continue;
        const std::string name = run.run_name.str();
        auto [entry, inserted] = m_measurements.try_emplace(name);
        if (inserted)
            m_order.push_back(name);
        if (run.error_occurred) {
            entry->second.failed = true;
            continue;
        }
        // A median wins over the single runs it was made from.
        if (median || !entry->second.median) {
            entry->second.microseconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e6;
            entry->second.median = median;
            const auto favorites = run.counters.find(kFavoritesCounter);
            entry->second.favorites = favorites == run.counters.end() ? 0 : favorites->second.value;
        }
    }
}

void TableReporter::Finalize()
{
    ConsoleReporter::Finalize();
    std::ostream& out = GetOutputStream();
    char line[512];
    std::snprintf(line, sizeof line, "\n| case | time | floor | ratio | per favorite | ratio ≤ %.1f |\n|---|---:|---:|---:|---:|:---:|\n", kTargetRatio);
    out << line;
    for (const std::string& name : m_order) {
        if (name.size() > kFloorSuffix.size() && name.ends_with(kFloorSuffix))
            continue;
        const Measurement& measured = m_measurements[name];
        if (measured.failed) {
            out << "| " << name << " | failed | | | | |\n";
            continue;
        }
        const std::string time = formatTime(measured.microseconds);
        const std::string perFavorite = measured.favorites > 0 ? formatTime(measured.microseconds / measured.favorites) : "";
        const auto floorEntry = m_measurements.find(name + std::string(kFloorSuffix));
        if (floorEntry == m_measurements.end() || floorEntry->second.failed || !(floorEntry->second.microseconds > 0)) {
            out << "| " << name << " | " << time << " | | | " << perFavorite << " | |\n";
            continue;
        }
        const double ratio = measured.microseconds / floorEntry->second.microseconds;
        std::snprintf(line, sizeof line, "| %s | %s | %s | %.2f | %s | %s |\n", name.c_str(), time.c_str(),
            formatTime(floorEntry->second.microseconds).c_str(), ratio, perFavorite.c_str(), ratio <= kTargetRatio ? "yes" : "**no**");
        out << line;
    }
    out.flush();
}

}

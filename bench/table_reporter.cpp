#include "table_reporter.h"

#include <cstdio>
#include <ostream>
#include <unistd.h>

namespace kavrin::bench {

namespace {

std::string formatTime(double nanoseconds)
{
    char text[32];
    const double microseconds = nanoseconds / 1000.0;
    if (microseconds >= 1000.0)
        std::snprintf(text, sizeof text, "%.2f ms", microseconds / 1000.0);
    else
        std::snprintf(text, sizeof text, "%.1f µs", microseconds);
    return text;
}

std::string formatNumber(const char* format, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
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
        if (run.run_type != Run::RT_Iteration && !run.error_occurred)
            continue;
        const std::string name = run.run_name.function_name;
        auto [entry, inserted] = m_measurements.try_emplace(name);
        if (inserted)
            m_order.push_back(name);
        if (run.error_occurred) {
            entry->second.failed = true;
            entry->second.error = run.error_message;
            continue;
        }
        for (const auto& [counter, value] : run.counters)
            entry->second.counters[counter] = value.value;
    }
}

void TableReporter::Finalize()
{
    ConsoleReporter::Finalize();
    std::ostream& out = GetOutputStream();
    char line[512];
    std::snprintf(line, sizeof line,
        "\n| case | time | floor | ratio | IQR | instructions ratio | per favorite | within %.2f |\n|---|---:|---:|---:|---:|---:|---:|:---:|\n",
        kTargetRatio);
    out << line;
    for (const std::string& name : m_order) {
        const Measurement& measured = m_measurements[name];
        if (measured.failed) {
            out << "| " << name << " | failed: " << measured.error << " | | | | | | |\n";
            continue;
        }
        const auto counter = [&measured](const char* key) {
            const auto found = measured.counters.find(key);
            return found == measured.counters.end() ? -1.0 : found->second;
        };
        const double time = counter("time_ns");
        const double floor = counter("floor_ns");
        const double ratio = counter("ratio");
        const double spread = counter("ratio_iqr");
        const double instructions = counter("instructions_ratio");
        const double favorites = counter(kFavoritesCounter);
        const bool timed = time >= 0 && floor > 0;
        const bool counted = instructions >= 0;
        bool within = true;
        if (timed)
            within = within && ratio <= kTargetRatio;
        if (counted)
            within = within && instructions <= kTargetRatio;
        std::snprintf(line, sizeof line, "| %s | %s | %s | %s | %s | %s | %s | %s |\n", name.c_str(),
            timed ? formatTime(time).c_str() : "", timed ? formatTime(floor).c_str() : "",
            timed ? formatNumber("%.2f", ratio).c_str() : "", timed ? formatNumber("%.3f", spread).c_str() : "",
            counted ? formatNumber("%.3f", instructions).c_str() : "",
            timed && favorites > 0 ? formatTime(time / favorites).c_str() : "",
            !timed && !counted ? "" : within ? "yes"
                                             : "**no**");
        out << line;
    }
    out.flush();
}

}

#include "RatioReporter.h"

namespace tessaly {

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
}

double RatioReporter::Time(const std::string& name) const {
    const auto found = times_.find(name);
    return found == times_.end() ? 0.0 : found->second;
}

}  // namespace tessaly

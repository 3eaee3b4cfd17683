#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace tessaly {

// The console report, keeping each benchmark's time per iteration so that a benchmark's ratio to its
// baseline can be printed after the run.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // The adjusted real time per iteration of the named benchmark; 0 when it did not run.
    double Time(const std::string& name) const;

  private:
    std::map<std::string, double> times_;
};

}  // namespace tessaly

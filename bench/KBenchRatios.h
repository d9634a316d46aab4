// A console reporter that also keeps the time of each run by benchmark name,
// so that a benchmark program can print ratios against its peer afterwards.
#pragma once
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class KRatioReporter : public benchmark::ConsoleReporter {
 public:
  // Wall-clock times when `realTime`, else CPU times.
  explicit KRatioReporter(bool realTime = false) : m_realTime(realTime) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      m_times[run.benchmark_name()] = m_realTime ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  // The time of run `name`; 0 when it did not run.
  double time(const std::string& name) const {
    auto it = m_times.find(name);
    return it == m_times.end() ? 0.0 : it->second;
  }
  // The time of `a` over the time of `b`; 0 when either did not run.
  double ratio(const std::string& a, const std::string& b) const {
    const double x = time(a), y = time(b);
    return x == 0 || y == 0 ? 0.0 : x / y;
  }

 private:
  bool m_realTime;
  std::map<std::string, double> m_times;
};

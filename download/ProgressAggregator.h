// Turns the percent of a whole download into progress reports: at most one
// per wall-clock second, and only after a rise of at least one point over
// the last one reported. Not thread-safe: its owner serialises the calls.
#pragma once

#include <cstdint>
#include <optional>

class ProgressAggregator {
 public:
  // Called with the wall clock in whole seconds and the current percent;
  // gives the fraction (0..1) to report, if any.
  std::optional<double> Evaluate(std::int64_t nowSeconds, double percent);
  // The last percent reported; 0 also means nothing was reported yet.
  double LastPercent() const { return lastPercent_; }
  void Reset() { lastPercent_ = 0.0; }

 private:
  std::int64_t lastTick_ = 0;
  double lastPercent_ = 0.0;
};

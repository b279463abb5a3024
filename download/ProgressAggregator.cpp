#include "download/ProgressAggregator.h"

std::optional<double> ProgressAggregator::Evaluate(std::int64_t nowSeconds, double percent) {
  if (nowSeconds <= lastTick_) return std::nullopt;
  lastTick_ = nowSeconds;
  if (percent > 100.0 || percent - lastPercent_ < 1.0) return std::nullopt;
  lastPercent_ = percent;
  return percent / 100.0;
}

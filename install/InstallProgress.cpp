#include "install/InstallProgress.h"

#include <algorithm>
#include <cmath>

namespace {

int ToPercent(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int>(std::clamp(value, 0.0, 100.0));  // truncates
}

}  // namespace

InstallProgress::InstallProgress(double downloadScale)
    : scale_(std::isfinite(downloadScale) ? std::clamp(downloadScale, 0.0, 1.0) : 0.7) {}

int InstallProgress::OnDownloadProgress(double fraction) const { return ToPercent(fraction * scale_ * 100.0); }

int InstallProgress::OnInstallProgress(double progress) {
  estimate_ = std::min(estimate_ + 0.15, 0.95);
  const double shown = std::isfinite(progress) ? std::max(estimate_, progress) : estimate_;
  estimate_ = shown;
  return ToPercent(((1.0 - scale_) * shown + scale_) * 100.0);
}

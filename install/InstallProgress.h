// One percent figure for the whole installation: the download fills the
// first share of the bar (the download scale), the package installer the
// rest. Every installer progress report moves the bar at least 15 % of the
// installation share forward, up to 95 % of it, even when the package
// installer reports less.
#pragma once

class InstallProgress {
 public:
  // A scale that is no number falls back to 0.7; others are held to 0..1.
  explicit InstallProgress(double downloadScale);

  // Fraction of the package received, 0 to 1.
  int OnDownloadProgress(double fraction) const;
  // The package installer's progress, 0 to 1.
  int OnInstallProgress(double progress);

  double Scale() const { return scale_; }

 private:
  double scale_;
  double estimate_ = 0.0;  // never reset: a retry continues from it
};

// The command line as a map from option to value: "-key=value" splits at the
// first "=", anything else is a key with an empty value, the first occurrence
// of a key wins, and keys are compared case-sensitively.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/NumberText.h"

class CommandLineMap {
 public:
  explicit CommandLineMap(const std::vector<std::wstring>& arguments);

  bool Has(const std::wstring& key) const { return values_.count(key) != 0; }
  // Each lookup is meant for a key that Has() reported.
  std::wstring String(const std::wstring& key) const;
  ParsedNumber<int> Int(const std::wstring& key) const;        // no number: 0
  ParsedNumber<double> Double(const std::wstring& key) const;  // no number: NaN
  bool Bool(const std::wstring& key) const;                    // exactly "true"

 private:
  std::map<std::wstring, std::wstring> values_;
};

#include "app/CommandLineMap.h"

#include <limits>

CommandLineMap::CommandLineMap(const std::vector<std::wstring>& arguments) {
  for (const std::wstring& arg : arguments) {
    const std::size_t eq = arg.find(L'=');
    if (!arg.empty() && arg[0] == L'-' && eq != std::wstring::npos)
      values_.emplace(arg.substr(0, eq), arg.substr(eq + 1));  // emplace keeps the first
    else
      values_.emplace(arg, std::wstring());
  }
}

std::wstring CommandLineMap::String(const std::wstring& key) const {
  const auto it = values_.find(key);
  return it == values_.end() ? std::wstring() : it->second;
}

ParsedNumber<int> CommandLineMap::Int(const std::wstring& key) const {
  ParsedNumber<int> n = ParseLeadingInt(String(key));
  if (n.status == NumberStatus::kNoNumber) n.value = 0;
  return n;
}

ParsedNumber<double> CommandLineMap::Double(const std::wstring& key) const {
  ParsedNumber<double> n = ParseLeadingDouble(String(key));
  if (n.status == NumberStatus::kNoNumber) n.value = std::numeric_limits<double>::quiet_NaN();
  return n;
}

bool CommandLineMap::Bool(const std::wstring& key) const { return String(key) == L"true"; }

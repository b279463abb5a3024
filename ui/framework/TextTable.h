// The process-wide table of numbered texts shared by all windows. A control
// text written "%[N]" shows the text numbered N, looked up whenever the text
// is read, so a relayout after the table changes shows the new texts.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace SkinUI {

class CTextTable {
 public:
  static CTextTable& Process();

  // Adds the text under the number, replacing an existing one.
  void Set(int id, std::wstring text);
  // The text under the number, or empty when it has none.
  std::wstring Get(int id) const;
  bool Has(int id) const;
  void Clear() { texts_.clear(); }

  // "%[N]" -> the text numbered N; any other text stays as it is.
  std::wstring Resolve(std::wstring_view text) const;

 private:
  std::map<std::wstring, std::wstring, std::less<>> texts_;  // keyed by the number's decimal text
};

}  // namespace SkinUI

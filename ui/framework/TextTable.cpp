#include "ui/framework/TextTable.h"

namespace SkinUI {

CTextTable& CTextTable::Process() {
  static CTextTable table;
  return table;
}

void CTextTable::Set(int id, std::wstring text) { texts_[std::to_wstring(id)] = std::move(text); }

std::wstring CTextTable::Get(int id) const {
  const auto it = texts_.find(std::to_wstring(id));
  return it == texts_.end() ? std::wstring() : it->second;
}

bool CTextTable::Has(int id) const { return texts_.count(std::to_wstring(id)) != 0; }

std::wstring CTextTable::Resolve(std::wstring_view text) const {
  if (text.size() < 4 || !text.starts_with(L"%[") || !text.ends_with(L"]")) return std::wstring(text);
  const std::wstring_view number = text.substr(2, text.size() - 3);
  if (number.size() > 9) return std::wstring(text);
  for (const wchar_t c : number)
    if (c < L'0' || c > L'9') return std::wstring(text);
  const auto it = texts_.find(number);
  return it == texts_.end() ? std::wstring() : it->second;
}

}  // namespace SkinUI

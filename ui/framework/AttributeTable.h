// Each control class declares the attributes it understands in one table of
// (name, setter); setting an attribute is a lookup in the class's table, then
// in its base class's.
#pragma once

#include <span>
#include <string_view>

namespace SkinUI {

template <class C>
struct AttributeEntry {
  std::wstring_view name;
  void (*apply)(C& control, std::wstring_view value);
};

// Applies the attribute when the table knows its name (matched exactly).
template <class C>
bool ApplyFromTable(std::span<const AttributeEntry<C>> table, C& control, std::wstring_view name,
                    std::wstring_view value) {
  for (const AttributeEntry<C>& entry : table) {
    if (entry.name == name) {
      entry.apply(control, value);
      return true;
    }
  }
  return false;
}

}  // namespace SkinUI

#include "resources/VersionInfo.h"

#include <string>

namespace Resources {
namespace {

std::string Dotted(const std::array<std::uint16_t, 4>& parts) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i != 0) text += '.';
    text += std::to_string(parts[i]);
  }
  return text;
}

void Line(std::string& out, std::string_view key, std::string_view value) {
  out.append(key).append("=").append(value).append("\n");
}

}  // namespace

std::wstring VersionText(const VersionInfo& info) {
  // Both parts are ASCII, so widening byte by byte is exact.
  std::wstring text(info.productName.begin(), info.productName.end());
  text += L' ';
  text.append(info.productVersion.begin(), info.productVersion.end());
  return text;
}

std::string FormatVersionRecord(const VersionInfo& info) {
  std::string out = "[FixedFileInfo]\n";
  Line(out, "FileVersion", Dotted(info.fixedFileVersion));
  Line(out, "ProductVersion", Dotted(info.fixedProductVersion));
  out += "[StringFileInfo]\n";
  Line(out, "Language", std::to_string(info.language));
  Line(out, "CodePage", std::to_string(info.codePage));
  Line(out, "CompanyName", info.companyName);
  Line(out, "FileDescription", info.fileDescription);
  Line(out, "FileVersion", info.fileVersion);
  Line(out, "InternalName", info.internalName);
  Line(out, "LegalCopyright", info.legalCopyright);
  Line(out, "ProductName", info.productName);
  Line(out, "ProductVersion", info.productVersion);
  return out;
}

}  // namespace Resources

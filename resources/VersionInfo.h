// The program's version record, as the installer's executable carries it.
// The same record is linked into the resource table as "VERSION" 1, in the
// text form FormatVersionRecord() gives; --version prints VersionText().
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace Resources {

struct VersionInfo {
  int language;                                   // 2052: Simplified Chinese
  int codePage;                                   // 1200: UTF-16 strings
  std::array<std::uint16_t, 4> fixedFileVersion;  // major, minor, build, revision
  std::array<std::uint16_t, 4> fixedProductVersion;
  std::string_view companyName;
  std::string_view fileDescription;
  std::string_view fileVersion;  // the version strings
  std::string_view internalName;
  std::string_view legalCopyright;
  std::string_view productName;
  std::string_view productVersion;
};

inline constexpr VersionInfo kVersionInfo{
    .language = 2052,
    .codePage = 1200,
    .fixedFileVersion = {1, 0, 0, 1},
    .fixedProductVersion = {1, 0, 0, 1},
    .companyName = "KestrixSoft",
    .fileDescription = "Velmora",
    .fileVersion = "1.7.9",
    .internalName = "Velmora",
    .legalCopyright = "Copyright (C) KestrixSoft",
    .productName = "Velmora",
    .productVersion = "1.7.9",
};

// "Velmora 1.7.9": product name and product version string.
std::wstring VersionText(const VersionInfo& info = kVersionInfo);

// The record as UTF-8 text in two sections, one "Key=Value" line each:
//   [FixedFileInfo]   FileVersion=1.0.0.1, ProductVersion=1.0.0.1
//   [StringFileInfo]  Language=2052, CodePage=1200, CompanyName=...,
//                     FileDescription, FileVersion, InternalName,
//                     LegalCopyright, ProductName, ProductVersion
std::string FormatVersionRecord(const VersionInfo& info = kVersionInfo);

}  // namespace Resources

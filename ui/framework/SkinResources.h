// Where layouts and images come from: the skin archive in memory (what the
// installer uses) or a folder on disk. One process-wide source serves every
// window; tests may make their own.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "ui/framework/Image.h"
#include "ui/framework/SkinArchive.h"

namespace SkinUI {

enum class LayoutEncoding { Utf8, Utf16, Ansi };

struct LoadedText {
  bool ok = false;
  std::wstring text;
  std::wstring error;  // one of the loading messages when not ok
};

class CSkinResources {
 public:
  static constexpr std::uint64_t kMaxLayoutSize = 4194304;
  // The name recorded for an archive opened from bytes.
  static constexpr std::wstring_view kMemoryArchiveName = L"membuffer";

  static CSkinResources& Process();

  // A folder on disk (with or without a trailing "/") for layouts and images.
  void SetResourcePath(std::wstring folder);
  const std::wstring& GetResourcePath() const { return folder_; }

  // Opens the skin from bytes, once: a second call while "membuffer" is set is
  // ignored. Returns whether an archive is open.
  bool SetResourceArchive(std::span<const std::uint8_t> bytes);
  const std::wstring& GetResourceZip() const { return zipName_; }
  const CSkinArchive* GetArchive() const { return archive_.get(); }
  // How many times an archive was actually opened (the once-only rule).
  int ArchiveOpenCount() const { return openCount_; }

  LoadedText LoadLayoutText(std::wstring_view name, LayoutEncoding encoding) const;
  // From the archive, else from disk; null when missing or undecodable.
  std::shared_ptr<CImage> LoadImage(std::wstring_view name, std::uint32_t mask) const;

 private:
  bool ReadFile(const std::wstring& path, std::uint64_t limit, std::vector<std::uint8_t>& out,
                std::wstring& error) const;
  std::wstring OnDisk(std::wstring_view name) const;

  std::wstring folder_;
  std::wstring zipName_;
  std::unique_ptr<CSkinArchive> archive_;
  int openCount_ = 0;
};

// Decodes layout bytes: UTF-8 (BOM optional), UTF-16 (BOM required) or the
// ANSI code page. False for UTF-16 without a byte-order mark.
bool DecodeLayoutBytes(std::span<const std::uint8_t> bytes, LayoutEncoding encoding, std::wstring& text);

}  // namespace SkinUI

#include "ui/framework/SkinResources.h"

#include <fstream>

#include "platform/Text.h"

namespace SkinUI {
namespace {

constexpr std::uint64_t kMaxImageFileSize = 32ull << 20;

}  // namespace

bool DecodeLayoutBytes(std::span<const std::uint8_t> bytes, LayoutEncoding encoding, std::wstring& text) {
  const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  switch (encoding) {
    case LayoutEncoding::Utf8:
      text = Platform::Utf8ToWide(raw.starts_with("\xEF\xBB\xBF") ? raw.substr(3) : raw);
      return true;
    case LayoutEncoding::Ansi:
      text = Platform::AnsiToWide(raw);
      return true;
    case LayoutEncoding::Utf16: {
      if (bytes.size() < 2) return false;
      bool bigEndian;
      if (bytes[0] == 0xFF && bytes[1] == 0xFE) {
        bigEndian = false;
      } else if (bytes[0] == 0xFE && bytes[1] == 0xFF) {
        bigEndian = true;
      } else {
        return false;
      }
      text.clear();
      for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        char32_t unit = bigEndian ? (bytes[i] << 8 | bytes[i + 1]) : (bytes[i + 1] << 8 | bytes[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
          const char32_t low = bigEndian ? (bytes[i + 2] << 8 | bytes[i + 3]) : (bytes[i + 3] << 8 | bytes[i + 2]);
          if (low >= 0xDC00 && low <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
          }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
        text += static_cast<wchar_t>(unit);
      }
      return true;
    }
  }
  return false;
}

CSkinResources& CSkinResources::Process() {
  static CSkinResources resources;
  return resources;
}

void CSkinResources::SetResourcePath(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'/' && folder.back() != L'\\') folder += L'/';
  folder_ = std::move(folder);
}

bool CSkinResources::SetResourceArchive(std::span<const std::uint8_t> bytes) {
  if (zipName_ == kMemoryArchiveName) return archive_ != nullptr;
  zipName_ = kMemoryArchiveName;
  archive_ = CSkinArchive::Open(bytes);
  ++openCount_;
  return archive_ != nullptr;
}

std::wstring CSkinResources::OnDisk(std::wstring_view name) const {
  std::wstring path(name);
  for (wchar_t& c : path)
    if (c == L'\\') c = L'/';
  if (!path.empty() && path.front() == L'/') return path;
  return folder_ + path;
}

bool CSkinResources::ReadFile(const std::wstring& path, std::uint64_t limit, std::vector<std::uint8_t>& out,
                              std::wstring& error) const {
  std::ifstream in(Platform::WideToAnsi(path), std::ios::binary);
  if (!in) {
    error = L"Error opening file";
    return false;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size <= 0) {
    error = L"File is empty";
    return false;
  }
  if (static_cast<std::uint64_t>(size) > limit) {
    error = L"File too large";
    return false;
  }
  in.seekg(0);
  out.resize(static_cast<std::size_t>(size));
  if (!in.read(reinterpret_cast<char*>(out.data()), size)) {
    error = L"Could not read file";
    return false;
  }
  return true;
}

LoadedText CSkinResources::LoadLayoutText(std::wstring_view name, LayoutEncoding encoding) const {
  LoadedText result;
  std::vector<std::uint8_t> bytes;
  if (!zipName_.empty()) {
    if (!archive_) {
      result.error = L"Error opening zip file";
      return result;
    }
    const auto found = archive_->Find(name);
    if (!found) {
      result.error = L"Could not find ziped file";
      return result;
    }
    if (found->size == 0) {
      result.error = L"File is empty";
      return result;
    }
    if (found->size > kMaxLayoutSize) {
      result.error = L"File too large";
      return result;
    }
    bytes.resize(static_cast<std::size_t>(found->size));
    if (!archive_->Unpack(found->index, bytes)) {
      result.error = L"Could not unzip file";
      return result;
    }
  } else if (!ReadFile(OnDisk(name), kMaxLayoutSize, bytes, result.error)) {
    return result;
  }
  if (!DecodeLayoutBytes(bytes, encoding, result.text)) {
    result.error = L"File is not UTF-16";
    return result;
  }
  result.ok = true;
  return result;
}

std::shared_ptr<CImage> CSkinResources::LoadImage(std::wstring_view name, std::uint32_t mask) const {
  if (name.empty()) return nullptr;
  if (archive_) {
    if (const auto found = archive_->Find(name)) {
      if (const auto* bytes = archive_->Bytes(found->index)) return CImage::Decode(*bytes, mask);
    }
  }
  std::vector<std::uint8_t> bytes;
  std::wstring error;
  if (!ReadFile(OnDisk(name), kMaxImageFileSize, bytes, error)) return nullptr;
  return CImage::Decode(bytes, mask);
}

}  // namespace SkinUI

#include "ui/framework/SkinArchive.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>

#include "app/Log.h"
#include "platform/Text.h"
#include "ui/framework/AttributeValue.h"

namespace SkinUI {
namespace {

struct ArchiveCloser {
  void operator()(archive* a) const { archive_read_free(a); }
};

// Reads the current entry's data, at most `limit` bytes; false on a decoder error.
bool ReadEntryData(archive* a, std::uint64_t limit, std::vector<std::uint8_t>& out, bool& tooLarge) {
  std::uint8_t chunk[64 * 1024];
  for (;;) {
    const la_ssize_t n = archive_read_data(a, chunk, sizeof chunk);
    if (n < 0) return false;
    if (n == 0) return true;
    if (out.size() + static_cast<std::size_t>(n) > limit) {
      tooLarge = true;
      return true;
    }
    out.insert(out.end(), chunk, chunk + n);
  }
}

}  // namespace

std::unique_ptr<CSkinArchive> CSkinArchive::Open(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return nullptr;
  std::unique_ptr<archive, ArchiveCloser> a(archive_read_new());
  if (!a) return nullptr;
  archive_read_support_format_7zip(a.get());
  archive_read_support_filter_all(a.get());
  if (archive_read_open_memory(a.get(), bytes.data(), bytes.size()) != ARCHIVE_OK) return nullptr;

  std::unique_ptr<CSkinArchive> result(new CSkinArchive);
  std::uint64_t total = 0;
  for (int index = 0;; ++index) {
    archive_entry* entry = nullptr;
    const int rc = archive_read_next_header(a.get(), &entry);
    if (rc == ARCHIVE_EOF) break;
    if (rc < ARCHIVE_WARN) {
      // The database itself is unreadable only when not even the first header came.
      if (index == 0) return nullptr;
      LogRecord(L"skin archive: stopped at entry %d: %s\r\n", index,
                Platform::Utf8ToWide(archive_error_string(a.get()) ? archive_error_string(a.get()) : ""));
      break;
    }
    if (archive_entry_filetype(entry) == AE_IFDIR) continue;
    const char* utf8 = archive_entry_pathname_utf8(entry);
    const char* raw = archive_entry_pathname(entry);
    Entry record{Platform::Utf8ToWide(utf8 ? utf8 : (raw ? raw : "")), 0, index, {}, 0};
    record.nameLength = record.name.size() + 1;
    const std::uint64_t declared =
        archive_entry_size_is_set(entry) ? static_cast<std::uint64_t>(std::max<la_int64_t>(0, archive_entry_size(entry))) : 0;
    if (declared > kMaxEntrySize || total + declared > kMaxTotalSize) {
      LogRecord(L"skin archive: entry %s too large (%llu bytes), skipped\r\n", record.name,
                static_cast<unsigned long long>(declared));
      if (total + declared > kMaxTotalSize) break;
      continue;
    }
    record.bytes.reserve(static_cast<std::size_t>(declared));
    bool tooLarge = false;
    if (!ReadEntryData(a.get(), std::min(kMaxEntrySize, kMaxTotalSize - total), record.bytes, tooLarge)) {
      LogRecord(L"skin archive: could not extract %s: %s\r\n", record.name,
                Platform::Utf8ToWide(archive_error_string(a.get()) ? archive_error_string(a.get()) : ""));
      break;
    }
    if (tooLarge) {
      LogRecord(L"skin archive: entry %s larger than declared, skipped\r\n", record.name);
      continue;
    }
    record.bytes.shrink_to_fit();
    record.size = record.bytes.size();
    total += record.size;
    result->entries_.push_back(std::move(record));
  }
  return result;
}

std::unique_ptr<CSkinArchive> CSkinArchive::Open(const std::wstring& path) {
  std::ifstream in(Platform::WideToAnsi(path), std::ios::binary);
  if (!in) return nullptr;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size <= 0 || static_cast<std::uint64_t>(size) > kMaxTotalSize) return nullptr;
  in.seekg(0);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return nullptr;
  return Open(bytes);
}

std::optional<CSkinArchive::Found> CSkinArchive::Find(std::wstring_view name) const {
  std::wstring wanted(name);
  for (wchar_t& c : wanted)
    if (c == L'\\') c = L'/';
  for (const Entry& e : entries_) {
    if (e.nameLength != wanted.size() + 1) continue;
    if (EqualsIgnoringCase(e.name, wanted)) return Found{e.index, e.size};
  }
  return std::nullopt;
}

const CSkinArchive::Entry* CSkinArchive::ByIndex(int index) const {
  for (const Entry& e : entries_)
    if (e.index == index) return &e;
  return nullptr;
}

bool CSkinArchive::Unpack(int index, std::span<std::uint8_t> destination) const {
  const Entry* e = ByIndex(index);
  if (e == nullptr || destination.size() < e->bytes.size()) return false;
  if (!e->bytes.empty()) std::memcpy(destination.data(), e->bytes.data(), e->bytes.size());
  return true;
}

const std::vector<std::uint8_t>* CSkinArchive::Bytes(int index) const {
  const Entry* e = ByIndex(index);
  return e ? &e->bytes : nullptr;
}

}  // namespace SkinUI

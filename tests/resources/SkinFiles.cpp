#include "tests/resources/SkinFiles.h"

#include <archive.h>
#include <archive_entry.h>

#include "platform/Resources.h"

namespace TestSupport {
namespace {

SkinFiles Unpack(std::span<const std::uint8_t> bytes) {
  SkinFiles out;
  archive* a = archive_read_new();
  archive_read_support_format_7zip(a);
  if (archive_read_open_memory(a, bytes.data(), bytes.size()) != ARCHIVE_OK) {
    out.error = archive_error_string(a);
    archive_read_free(a);
    return out;
  }
  archive_entry* entry = nullptr;
  int status;
  while ((status = archive_read_next_header(a, &entry)) == ARCHIVE_OK) {
    const std::string name = archive_entry_pathname(entry);
    if (archive_entry_filetype(entry) == AE_IFDIR) {
      out.folders.push_back(name);
      continue;
    }
    std::string data(static_cast<std::size_t>(archive_entry_size(entry)), '\0');
    if (archive_read_data(a, data.data(), data.size()) != static_cast<la_ssize_t>(data.size())) {
      out.error = name + ": " + archive_error_string(a);
      break;
    }
    out.files[name] = std::move(data);
  }
  if (status != ARCHIVE_EOF && out.error.empty()) out.error = archive_error_string(a);
  archive_read_free(a);
  return out;
}

}  // namespace

const SkinFiles& EmbeddedSkin() {
  static const SkinFiles skin = Unpack(Platform::FindResource(L"ZIPRES", 147));
  return skin;
}

}  // namespace TestSupport

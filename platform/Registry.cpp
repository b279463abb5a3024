#include "platform/Registry.h"

#include <json/json.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace Platform {
namespace {

// A key holds a handful of short strings; anything larger is not ours.
constexpr std::size_t kMaxKeyFileBytes = 1u << 20;

enum class Load { kMissing, kOk, kDamaged };

Load LoadKey(const std::wstring& file, Json::Value& values) {
  const std::optional<std::string> bytes = ReadWholeFile(file, kMaxKeyFileBytes);
  if (!bytes) return PathExists(file) ? Load::kDamaged : Load::kMissing;
  Json::CharReaderBuilder builder;
  builder["collectComments"] = false;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  if (!reader->parse(bytes->data(), bytes->data() + bytes->size(), &values, &errors) || !values.isObject())
    return Load::kDamaged;
  return Load::kOk;
}

}  // namespace

std::wstring UserRegistryKeyFile(const std::wstring& keyPath) {
  std::wstring file = ConfigFolder() + L"/registry/HKEY_CURRENT_USER";
  std::size_t start = 0;
  while (start <= keyPath.size()) {
    std::size_t end = keyPath.find(L'\\', start);
    if (end == std::wstring::npos) end = keyPath.size();
    const std::wstring part = keyPath.substr(start, end - start);
    if (part.empty() || part == L"." || part == L".." || part.find(L'/') != std::wstring::npos) return {};
    file += L"/" + part;
    start = end + 1;
  }
  return file + L".json";
}

std::optional<std::wstring> ReadUserRegistryValue(const std::wstring& keyPath, const std::wstring& valueName) {
  const std::wstring file = UserRegistryKeyFile(keyPath);
  if (file.empty()) return std::nullopt;
  Json::Value values;
  if (LoadKey(file, values) != Load::kOk) return std::nullopt;
  const Json::Value& value = values[WideToUtf8(valueName)];
  if (!value.isString()) return std::nullopt;
  return Utf8ToWide(value.asString());
}

bool WriteUserRegistryValue(const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& value) {
  const std::wstring file = UserRegistryKeyFile(keyPath);
  if (file.empty()) return false;
  const std::string narrow = WideToAnsi(file);
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(narrow).parent_path(), error);
  Json::Value values(Json::objectValue);
  if (LoadKey(file, values) == Load::kDamaged) {
    std::filesystem::rename(narrow, narrow + ".damaged", error);
    if (error) return false;
    values = Json::Value(Json::objectValue);
  }
  values[WideToUtf8(valueName)] = WideToUtf8(value);
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "  ";
  return WriteFileAtomically(file, Json::writeString(writer, values) + "\n");
}

}  // namespace Platform

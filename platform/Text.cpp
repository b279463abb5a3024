#include "platform/Text.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace Platform {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsUtf8Locale() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset == nullptr || std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0 ||
         // The C locale's ASCII is a subset of UTF-8; treating it as UTF-8 keeps
         // non-ASCII file names intact, as every supported system uses UTF-8.
         std::strcmp(codeset, "ANSI_X3.4-1968") == 0;
}

// Returns the length of the valid sequence at s[i], or 0 if invalid; stores the code point.
std::size_t DecodeOne(std::string_view s, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t len;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string IconvName(unsigned codePage) { return "CP" + std::to_string(codePage); }

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

std::wstring DecodeIconv(const char* from, std::string_view bytes) {
  Iconv cd("UTF-32LE", from);
  if (!cd.ok()) return {};
  std::wstring out;
  out.reserve(bytes.size());
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char32_t buffer[256];
  while (inLeft > 0) {
    char* outPtr = reinterpret_cast<char*>(buffer);
    std::size_t outLeft = sizeof(buffer);
    const std::size_t r = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
    const std::size_t produced = (sizeof(buffer) - outLeft) / sizeof(char32_t);
    out.append(buffer, buffer + produced);
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      // Invalid or incomplete input: one replacement character, skip a byte.
      out += kReplacement;
      ++in;
      --inLeft;
    }
  }
  return out;
}

std::string EncodeIconv(const char* to, std::wstring_view text) {
  Iconv cd(to, "UTF-32LE");
  if (!cd.ok()) return {};
  std::string out;
  std::u32string source(text.begin(), text.end());
  char* in = reinterpret_cast<char*>(source.data());
  std::size_t inLeft = source.size() * sizeof(char32_t);
  char buffer[1024];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof(buffer);
    const std::size_t r = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, sizeof(buffer) - outLeft);
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      out += '?';  // not representable in the target code page
      in += sizeof(char32_t);
      inLeft -= sizeof(char32_t);
    }
  }
  return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8, bool strict) {
  std::wstring out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp;
    const std::size_t len = DecodeOne(utf8, i, cp);
    if (len == 0) {
      if (strict) return {};
      out += kReplacement;
      ++i;
      continue;
    }
    out += static_cast<wchar_t>(cp);
    i += len;
  }
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) AppendUtf8(out, static_cast<char32_t>(c));
  return out;
}

std::wstring AnsiToWide(std::string_view bytes) {
  if (IsUtf8Locale()) return Utf8ToWide(bytes);
  return DecodeIconv(nl_langinfo(CODESET), bytes);
}

std::string WideToAnsi(std::wstring_view text) {
  if (IsUtf8Locale()) return WideToUtf8(text);
  return EncodeIconv(nl_langinfo(CODESET), text);
}

std::wstring DecodeCodePage(unsigned codePage, std::string_view bytes) {
  if (codePage == kCodePageAnsi) return AnsiToWide(bytes);
  if (codePage == kCodePageUtf8) return Utf8ToWide(bytes);
  return DecodeIconv(IconvName(codePage).c_str(), bytes);
}

std::string EncodeCodePage(unsigned codePage, std::wstring_view text) {
  if (codePage == kCodePageAnsi) return WideToAnsi(text);
  if (codePage == kCodePageUtf8) return WideToUtf8(text);
  return EncodeIconv(IconvName(codePage).c_str(), text);
}

std::wstring Utf16ToWide(std::string_view bytes, bool bigEndian) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  const auto unit = [&](std::size_t i) {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  };
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    out += (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : static_cast<wchar_t>(u);
  }
  if (i < bytes.size()) out += kReplacement;
  return out;
}

}  // namespace Platform

// MD5 (RFC 1321), fed in pieces of any size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class Md5 {
 public:
  void Update(const void* data, std::size_t size);
  void Update(std::string_view text) { Update(text.data(), text.size()); }
  // The digest of everything fed so far; the object is then spent.
  std::array<std::uint8_t, 16> Finish();
  // 32 lower-case hexadecimal digits.
  std::string FinishHex();

 private:
  void Blocks(const std::uint8_t* data, std::size_t count);

  std::uint32_t state_[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
  std::uint64_t length_ = 0;  // bytes fed
  std::uint8_t buffer_[64] = {};
  std::size_t buffered_ = 0;
};

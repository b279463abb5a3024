#include "download/Md5.h"

#include <cstring>

namespace {

inline std::uint32_t Rotl(std::uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

inline std::uint32_t Load32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

}  // namespace

// The four rounds, unrolled; F..I as in the RFC (F and G in their cheaper equivalent forms).
#define MD5_STEP(f, a, b, c, d, k, s, t) a = b + Rotl(a + f(b, c, d) + x[k] + t, s)
#define MD5_F(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define MD5_G(b, c, d) ((c) ^ ((d) & ((b) ^ (c))))
#define MD5_H(b, c, d) ((b) ^ (c) ^ (d))
#define MD5_I(b, c, d) ((c) ^ ((b) | ~(d)))

void Md5::Blocks(const std::uint8_t* data, std::size_t count) {
  std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  for (; count; --count, data += 64) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = Load32(data + 4 * i);
    const std::uint32_t a0 = a, b0 = b, c0 = c, d0 = d;

    MD5_STEP(MD5_F, a, b, c, d, 0, 7, 0xd76aa478u);
    MD5_STEP(MD5_F, d, a, b, c, 1, 12, 0xe8c7b756u);
    MD5_STEP(MD5_F, c, d, a, b, 2, 17, 0x242070dbu);
    MD5_STEP(MD5_F, b, c, d, a, 3, 22, 0xc1bdceeeu);
    MD5_STEP(MD5_F, a, b, c, d, 4, 7, 0xf57c0fafu);
    MD5_STEP(MD5_F, d, a, b, c, 5, 12, 0x4787c62au);
    MD5_STEP(MD5_F, c, d, a, b, 6, 17, 0xa8304613u);
    MD5_STEP(MD5_F, b, c, d, a, 7, 22, 0xfd469501u);
    MD5_STEP(MD5_F, a, b, c, d, 8, 7, 0x698098d8u);
    MD5_STEP(MD5_F, d, a, b, c, 9, 12, 0x8b44f7afu);
    MD5_STEP(MD5_F, c, d, a, b, 10, 17, 0xffff5bb1u);
    MD5_STEP(MD5_F, b, c, d, a, 11, 22, 0x895cd7beu);
    MD5_STEP(MD5_F, a, b, c, d, 12, 7, 0x6b901122u);
    MD5_STEP(MD5_F, d, a, b, c, 13, 12, 0xfd987193u);
    MD5_STEP(MD5_F, c, d, a, b, 14, 17, 0xa679438eu);
    MD5_STEP(MD5_F, b, c, d, a, 15, 22, 0x49b40821u);

    MD5_STEP(MD5_G, a, b, c, d, 1, 5, 0xf61e2562u);
    MD5_STEP(MD5_G, d, a, b, c, 6, 9, 0xc040b340u);
    MD5_STEP(MD5_G, c, d, a, b, 11, 14, 0x265e5a51u);
    MD5_STEP(MD5_G, b, c, d, a, 0, 20, 0xe9b6c7aau);
    MD5_STEP(MD5_G, a, b, c, d, 5, 5, 0xd62f105du);
    MD5_STEP(MD5_G, d, a, b, c, 10, 9, 0x02441453u);
    MD5_STEP(MD5_G, c, d, a, b, 15, 14, 0xd8a1e681u);
    MD5_STEP(MD5_G, b, c, d, a, 4, 20, 0xe7d3fbc8u);
    MD5_STEP(MD5_G, a, b, c, d, 9, 5, 0x21e1cde6u);
    MD5_STEP(MD5_G, d, a, b, c, 14, 9, 0xc33707d6u);
    MD5_STEP(MD5_G, c, d, a, b, 3, 14, 0xf4d50d87u);
    MD5_STEP(MD5_G, b, c, d, a, 8, 20, 0x455a14edu);
    MD5_STEP(MD5_G, a, b, c, d, 13, 5, 0xa9e3e905u);
    MD5_STEP(MD5_G, d, a, b, c, 2, 9, 0xfcefa3f8u);
    MD5_STEP(MD5_G, c, d, a, b, 7, 14, 0x676f02d9u);
    MD5_STEP(MD5_G, b, c, d, a, 12, 20, 0x8d2a4c8au);

    MD5_STEP(MD5_H, a, b, c, d, 5, 4, 0xfffa3942u);
    MD5_STEP(MD5_H, d, a, b, c, 8, 11, 0x8771f681u);
    MD5_STEP(MD5_H, c, d, a, b, 11, 16, 0x6d9d6122u);
    MD5_STEP(MD5_H, b, c, d, a, 14, 23, 0xfde5380cu);
    MD5_STEP(MD5_H, a, b, c, d, 1, 4, 0xa4beea44u);
    MD5_STEP(MD5_H, d, a, b, c, 4, 11, 0x4bdecfa9u);
    MD5_STEP(MD5_H, c, d, a, b, 7, 16, 0xf6bb4b60u);
    MD5_STEP(MD5_H, b, c, d, a, 10, 23, 0xbebfbc70u);
    MD5_STEP(MD5_H, a, b, c, d, 13, 4, 0x289b7ec6u);
    MD5_STEP(MD5_H, d, a, b, c, 0, 11, 0xeaa127fau);
    MD5_STEP(MD5_H, c, d, a, b, 3, 16, 0xd4ef3085u);
    MD5_STEP(MD5_H, b, c, d, a, 6, 23, 0x04881d05u);
    MD5_STEP(MD5_H, a, b, c, d, 9, 4, 0xd9d4d039u);
    MD5_STEP(MD5_H, d, a, b, c, 12, 11, 0xe6db99e5u);
    MD5_STEP(MD5_H, c, d, a, b, 15, 16, 0x1fa27cf8u);
    MD5_STEP(MD5_H, b, c, d, a, 2, 23, 0xc4ac5665u);

    MD5_STEP(MD5_I, a, b, c, d, 0, 6, 0xf4292244u);
    MD5_STEP(MD5_I, d, a, b, c, 7, 10, 0x432aff97u);
    MD5_STEP(MD5_I, c, d, a, b, 14, 15, 0xab9423a7u);
    MD5_STEP(MD5_I, b, c, d, a, 5, 21, 0xfc93a039u);
    MD5_STEP(MD5_I, a, b, c, d, 12, 6, 0x655b59c3u);
    MD5_STEP(MD5_I, d, a, b, c, 3, 10, 0x8f0ccc92u);
    MD5_STEP(MD5_I, c, d, a, b, 10, 15, 0xffeff47du);
    MD5_STEP(MD5_I, b, c, d, a, 1, 21, 0x85845dd1u);
    MD5_STEP(MD5_I, a, b, c, d, 8, 6, 0x6fa87e4fu);
    MD5_STEP(MD5_I, d, a, b, c, 15, 10, 0xfe2ce6e0u);
    MD5_STEP(MD5_I, c, d, a, b, 6, 15, 0xa3014314u);
    MD5_STEP(MD5_I, b, c, d, a, 13, 21, 0x4e0811a1u);
    MD5_STEP(MD5_I, a, b, c, d, 4, 6, 0xf7537e82u);
    MD5_STEP(MD5_I, d, a, b, c, 11, 10, 0xbd3af235u);
    MD5_STEP(MD5_I, c, d, a, b, 2, 15, 0x2ad7d2bbu);
    MD5_STEP(MD5_I, b, c, d, a, 9, 21, 0xeb86d391u);

    a += a0, b += b0, c += c0, d += d0;
  }
  state_[0] = a, state_[1] = b, state_[2] = c, state_[3] = d;
}

#undef MD5_STEP
#undef MD5_F
#undef MD5_G
#undef MD5_H
#undef MD5_I

void Md5::Update(const void* data, std::size_t size) {
  auto p = static_cast<const std::uint8_t*>(data);
  length_ += size;
  if (buffered_) {
    const std::size_t take = std::min(size, sizeof buffer_ - buffered_);
    std::memcpy(buffer_ + buffered_, p, take);
    buffered_ += take, p += take, size -= take;
    if (buffered_ < sizeof buffer_) return;
    Blocks(buffer_, 1);
    buffered_ = 0;
  }
  Blocks(p, size / 64);
  p += size / 64 * 64;
  size %= 64;
  std::memcpy(buffer_, p, size);
  buffered_ = size;
}

std::array<std::uint8_t, 16> Md5::Finish() {
  const std::uint64_t bits = length_ * 8;
  std::uint8_t pad[72] = {0x80};
  const std::size_t padLength = (buffered_ < 56 ? 56 : 120) - buffered_;
  for (int i = 0; i < 8; ++i) pad[padLength + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  Update(pad, padLength + 8);
  std::array<std::uint8_t, 16> digest{};
  for (int i = 0; i < 16; ++i) digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (8 * (i % 4)));
  return digest;
}

std::string Md5::FinishHex() {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (std::uint8_t byte : Finish()) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

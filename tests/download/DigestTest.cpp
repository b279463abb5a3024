#include "download/Digest.h"

#include <gtest/gtest.h>

#include "download/Md5.h"
#include "tests/download/DownloadTestSupport.h"

namespace {

using namespace DownloadTest;

TEST(Md5Test, MatchesTheReferenceSuite) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [input, digest] : cases) EXPECT_EQ(Md5Of(input), digest) << input;
}

TEST(Md5Test, PiecesOfAnySizeGiveTheSameDigest) {
  // Lengths around the 56- and 64-byte padding boundaries, fed in every split.
  for (std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 200u}) {
    const std::string bytes = MakeBytes(static_cast<std::int64_t>(length), length);
    const std::string whole = Md5Of(bytes);
    for (std::size_t cut = 0; cut <= length; ++cut) {
      Md5 md5;
      md5.Update(bytes.substr(0, cut));
      md5.Update(bytes.substr(cut));
      ASSERT_EQ(md5.FinishHex(), whole) << length << " cut at " << cut;
    }
  }
}

TEST(DigestTest, GetFileMd5ReadsTheWholeFileOrGivesEmpty) {
  TempDir dir;
  const std::string bytes = MakeBytes(3 * 256 * 1024 + 17);
  WriteFile(dir.Path("f"), bytes);
  WriteFile(dir.Path("empty"), "");
  EXPECT_EQ(GetFileMd5(dir.Path("f")), Md5Of(bytes));
  EXPECT_EQ(GetFileMd5(dir.Path("empty")), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(GetFileMd5(dir.Path("missing")), "");
  EXPECT_EQ(GetFileMd5(""), "");
}

TEST(DigestTest, GetUrlMd5TakesTheLastDirectoryComponent) {
  const std::pair<std::string, std::string> cases[] = {
      {"http://h/0123456789abcdef0123456789abcdef/pkg.exe", "0123456789abcdef0123456789abcdef"},
      {"http://h/a/b/c.exe", "b"},
      {"http://h/c.exe", "h"},            // the host is the component before the file
      {"http://h/dir/", "dir"},           // the text after the last slash is the file name, here empty
      {"pkg.exe", ""},                    // no slash
      {"/pkg.exe", ""},                   // nothing before the only slash
      {"dir/pkg.exe", ""},                // one slash only
      {"//pkg.exe", ""},
  };
  for (const auto& [address, expected] : cases) EXPECT_EQ(GetUrlMd5(address), expected) << address;
  EXPECT_TRUE(IsDigestText("0123456789abcdef0123456789abcdef"));
  EXPECT_FALSE(IsDigestText("0123456789abcdef0123456789abcde"));
}

}  // namespace

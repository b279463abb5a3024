#include "ui/framework/SkinArchive.h"

#include <gtest/gtest.h>

#include "tests/ui/SkinFixture.h"
#include "ui/framework/SkinResources.h"

namespace SkinUI {
namespace {

using SkinTest::TempDir;

const char kLayout[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?><Window size=\"10,10\"><Control /></Window>";

class SkinArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    skin_.Write("mainWnd.xml", kLayout);
    skin_.Write("exitTipWnd.xml", kLayout);
    skin_.Write("empty.xml", "");
    skin_.Write("huge.xml", std::string(5 << 20, ' '));
    skin_.Write("res/common/closebtn1.png", SkinTest::SolidPng(4, 3, 0xFF112233));
    skin_.Write("res/broken.png", SkinTest::SolidPng(16, 16, 0xFF00FF00).substr(0, 60));
    bytes_ = SkinTest::Pack7z(skin_, work_);
    ASSERT_FALSE(bytes_.empty());
    ASSERT_TRUE(resources_.SetResourceArchive(bytes_));
  }

  TempDir skin_, work_;
  std::vector<std::uint8_t> bytes_;
  CSkinResources resources_;
};

TEST_F(SkinArchiveTest, FindsEntriesIgnoringCaseAndSeparator) {
  const CSkinArchive& archive = *resources_.GetArchive();
  EXPECT_EQ(archive.Entries().size(), 6u) << "folder entries are not records";
  for (const wchar_t* name : {L"MainWnd.xml", L"ExitTipWnd.xml", L"RES\\Common\\closebtn1.png"})
    EXPECT_TRUE(archive.Find(name).has_value()) << Platform::WideToUtf8(name);
  EXPECT_FALSE(archive.Find(L"mainWnd.xm").has_value());
  EXPECT_FALSE(archive.Find(L"res").has_value());

  const auto found = archive.Find(L"mainWnd.xml");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->size, sizeof kLayout - 1);
  std::vector<std::uint8_t> out(found->size);
  ASSERT_TRUE(archive.Unpack(found->index, out));
  EXPECT_EQ(std::string(out.begin(), out.end()), kLayout);
  std::vector<std::uint8_t> small(3);
  EXPECT_FALSE(archive.Unpack(found->index, small));
  EXPECT_FALSE(archive.Unpack(9999, out));
}

TEST_F(SkinArchiveTest, LayoutLoadingOutcomes) {
  const struct {
    const wchar_t* name;
    const wchar_t* error;
  } cases[] = {
      {L"MainWnd.xml", L""},
      {L"ExitTipWnd.xml", L""},
      {L"missing.xml", L"Could not find ziped file"},
      {L"empty.xml", L"File is empty"},
      {L"huge.xml", L"File too large"},
  };
  for (const auto& c : cases) {
    const LoadedText loaded = resources_.LoadLayoutText(c.name, LayoutEncoding::Utf8);
    EXPECT_EQ(loaded.ok, *c.error == 0) << Platform::WideToUtf8(c.name);
    EXPECT_EQ(loaded.error, c.error) << Platform::WideToUtf8(c.name);
  }
  EXPECT_EQ(resources_.LoadLayoutText(L"mainWnd.xml", LayoutEncoding::Utf8).text, Platform::Utf8ToWide(kLayout));
}

TEST_F(SkinArchiveTest, ArchiveIsOpenedOncePerProcess) {
  const std::vector<std::uint8_t> other = {'x', 'y'};
  EXPECT_TRUE(resources_.SetResourceArchive(other));
  EXPECT_EQ(resources_.ArchiveOpenCount(), 1);
  EXPECT_EQ(resources_.GetResourceZip(), L"membuffer");
  EXPECT_TRUE(resources_.LoadLayoutText(L"mainWnd.xml", LayoutEncoding::Utf8).ok);
}

TEST_F(SkinArchiveTest, BothSeparatorsLoadTheSameImage) {
  const auto a = resources_.LoadImage(L"res\\common\\closebtn1.png", 0);
  const auto b = resources_.LoadImage(L"res/common/closebtn1.png", 0);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->Width(), 4);
  EXPECT_EQ(a->Height(), 3);
  EXPECT_EQ(a->Pixel(3, 2), 0xFF112233u);
  EXPECT_EQ(b->Pixel(3, 2), 0xFF112233u);
}

TEST_F(SkinArchiveTest, BadImagesDecodeToNothing) {
  EXPECT_EQ(resources_.LoadImage(L"res/broken.png", 0), nullptr) << "truncated PNG";
  EXPECT_EQ(resources_.LoadImage(L"mainWnd.xml", 0), nullptr) << "not an image";
  EXPECT_EQ(resources_.LoadImage(L"res/none.png", 0), nullptr);
}

TEST_F(SkinArchiveTest, ImageMissingFromArchiveIsReadFromDisk) {
  TempDir disk;
  const auto path = disk.Write("extra.png", SkinTest::SolidPng(2, 2, 0xFF0000FF));
  const auto image = resources_.LoadImage(Platform::Utf8ToWide(path.string()), 0);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Pixel(1, 1), 0xFF0000FFu);
}

TEST(SkinArchive, DamagedArchivesNeverCrash) {
  TempDir skin, work;
  for (int i = 0; i < 8; ++i)
    skin.Write("f" + std::to_string(i) + ".xml", std::string(20000 + i, static_cast<char>('a' + i)));
  const std::vector<std::uint8_t> good = SkinTest::Pack7z(skin, work);
  ASSERT_NE(CSkinArchive::Open(good), nullptr);

  std::vector<std::vector<std::uint8_t>> damaged;
  damaged.push_back({});
  damaged.push_back({'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 3});
  damaged.emplace_back(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  std::vector<std::uint8_t> flipped = good;
  for (std::size_t i = 40; i < flipped.size() - 40; i += 97) flipped[i] ^= 0x5A;
  damaged.push_back(flipped);
  std::vector<std::uint8_t> garbage(4096);
  for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 7919 >> 3);
  damaged.push_back(garbage);

  for (const auto& bytes : damaged) {
    const auto archive = CSkinArchive::Open(bytes);
    if (archive) {
      // Whatever survived is served whole; nothing else is found.
      for (const auto& e : archive->Entries()) EXPECT_EQ(e.bytes.size(), e.size);
    }
    CSkinResources resources;
    resources.SetResourceArchive(bytes);
    const LoadedText loaded = resources.LoadLayoutText(L"f0.xml", LayoutEncoding::Utf8);
    if (!resources.GetArchive()) {
      EXPECT_EQ(loaded.error, L"Error opening zip file");
    }
  }
}

TEST(SkinResources, FolderSourceOutcomes) {
  TempDir dir;
  dir.Write("a.xml", "<Window/>");
  dir.Write("empty.xml", "");
  dir.Write("huge.xml", std::string((4 << 20) + 1, ' '));
  CSkinResources resources;
  resources.SetResourcePath(dir.WidePath());
  EXPECT_TRUE(resources.LoadLayoutText(L"a.xml", LayoutEncoding::Utf8).ok);
  EXPECT_EQ(resources.LoadLayoutText(L"none.xml", LayoutEncoding::Utf8).error, L"Error opening file");
  EXPECT_EQ(resources.LoadLayoutText(L"empty.xml", LayoutEncoding::Utf8).error, L"File is empty");
  EXPECT_EQ(resources.LoadLayoutText(L"huge.xml", LayoutEncoding::Utf8).error, L"File too large");
}

TEST(SkinResources, LayoutEncodings) {
  const std::wstring expected = L"<a b=\"安装\"/>";
  const struct {
    const char* what;
    std::string bytes;
    LayoutEncoding encoding;
    bool ok;
  } cases[] = {
      {"UTF-8", "<a b=\"\xE5\xAE\x89\xE8\xA3\x85\"/>", LayoutEncoding::Utf8, true},
      {"UTF-8 with BOM", "\xEF\xBB\xBF<a b=\"\xE5\xAE\x89\xE8\xA3\x85\"/>", LayoutEncoding::Utf8, true},
      {"UTF-16LE", std::string("\xFF\xFE<\0a\0 \0b\0=\0\"\0\x89\x5B\xC5\x88\"\0/\0>\0", 24), LayoutEncoding::Utf16,
       true},
      {"UTF-16BE", std::string("\xFE\xFF\0<\0a\0 \0b\0=\0\"\x5B\x89\x88\xC5\0\"\0/\0>", 24), LayoutEncoding::Utf16,
       true},
      {"UTF-16 without BOM", std::string("<\0a\0/\0>\0", 8), LayoutEncoding::Utf16, false},
      {"ANSI (UTF-8 locale)", "<a b=\"\xE5\xAE\x89\xE8\xA3\x85\"/>", LayoutEncoding::Ansi, true},
  };
  for (const auto& c : cases) {
    std::wstring text;
    const auto bytes = SkinTest::ToBytes(c.bytes);
    EXPECT_EQ(DecodeLayoutBytes(bytes, c.encoding, text), c.ok) << c.what;
    if (c.ok) {
      EXPECT_EQ(text, expected) << c.what;
    }
  }
}

TEST(SkinImage, PixelsArePremultipliedWithMask) {
  const std::string png = SkinTest::PngBytes(4, 1, [](int x, int) -> std::uint32_t {
    switch (x) {
      case 0: return 0xFFFF0000;  // opaque red
      case 1: return 0x80FF0000;  // half-transparent red
      case 2: return 0x00123456;  // transparent
      default: return 0xFF00FF00; // opaque green, masked below
    }
  });
  const auto bytes = SkinTest::ToBytes(png);
  const auto plain = CImage::Decode(bytes, 0);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(plain->Pixel(1, 0), 0x80800000u);
  EXPECT_EQ(plain->Pixel(2, 0), 0u);
  EXPECT_TRUE(plain->HasAlpha());

  const auto opaque = CImage::Decode(SkinTest::ToBytes(SkinTest::SolidPng(2, 2, 0xFF00FF00)), 0);
  ASSERT_TRUE(opaque);
  EXPECT_FALSE(opaque->HasAlpha());
  const auto masked = CImage::Decode(SkinTest::ToBytes(SkinTest::SolidPng(2, 2, 0xFF00FF00)), 0xFF00FF00);
  ASSERT_TRUE(masked);
  EXPECT_EQ(masked->Pixel(0, 0), 0u);
  EXPECT_TRUE(masked->HasAlpha());
}

}  // namespace
}  // namespace SkinUI

// The resource table linked from velmora_resources: skin, icon group, version.
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "platform/Resources.h"
#include "resources/VersionInfo.h"

namespace {

TEST(ResourcesTable, FindsTheSkinArchiveBySignature) {
  const auto skin = Platform::FindResource(L"ZIPRES", 147);
  ASSERT_GT(skin.size(), 32u);
  const std::uint8_t signature[] = {0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C};
  EXPECT_TRUE(std::equal(std::begin(signature), std::end(signature), skin.begin()));
  // Format version 0.x follows the signature; readers take minor versions up to 4.
  EXPECT_EQ(skin[6], 0);
  EXPECT_LE(skin[7], 4);
  // Resources are followed by a zero byte outside their size.
  EXPECT_EQ(*skin.end(), 0);
}

TEST(ResourcesTable, LooksUpByTypeAndId) {
  struct Case {
    const wchar_t* type;
    int id;
    bool found;
  };
  const Case cases[] = {
      {L"ZIPRES", 147, true},     {L"zipres", 147, true},  // type names ignore case
      {L"ZIPRES", 148, false},    {L"ZIPRE", 147, false},   {L"", 147, false},
      {L"GROUP_ICON", 145, true}, {L"GROUP_ICON", 147, false},
      {L"VERSION", 1, true},      {L"VERSION", 145, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.type, c.type + std::wcslen(c.type)) << " " << c.id);
    EXPECT_EQ(!Platform::FindResource(c.type, c.id).empty(), c.found);
  }
  EXPECT_EQ(Platform::ResourceTable().size(), 3u);
}

TEST(ResourcesIcon, GroupHoldsNineSquarePngImagesLargestFirst) {
  const auto images = Platform::ReadIconGroup(Platform::FindResource(L"GROUP_ICON", 145));
  const int sizes[] = {256, 128, 96, 72, 64, 48, 32, 24, 16};
  ASSERT_EQ(images.size(), std::size(sizes));
  for (std::size_t i = 0; i < images.size(); ++i) {
    SCOPED_TRACE(sizes[i]);
    EXPECT_EQ(images[i].width, sizes[i]);
    EXPECT_EQ(images[i].height, sizes[i]);
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(images[i].data.data(), static_cast<int>(images[i].data.size()), &w, &h,
                                            &channels, 4);
    ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
    EXPECT_EQ(w, sizes[i]);
    EXPECT_EQ(h, sizes[i]);
    EXPECT_EQ(channels, 4);                          // 32-bit, with alpha
    EXPECT_EQ(pixels[3], 0);                         // transparent corner
    EXPECT_EQ(pixels[(h / 2 * w + w / 2) * 4 + 3], 255);  // opaque centre
    stbi_image_free(pixels);
  }
}

TEST(ResourcesIcon, MalformedGroupsReadAsEmpty) {
  std::vector<std::uint8_t> good = {0, 0, 1, 0, 1, 0,                   // reserved, type 1, one image
                                    16, 16, 0, 0, 1, 0, 32, 0,          // 16x16, 32 bits
                                    4, 0, 0, 0, 22, 0, 0, 0,            // 4 bytes at offset 22
                                    'a', 'b', 'c', 'd'};
  ASSERT_EQ(Platform::ReadIconGroup(good).size(), 1u);
  auto truncated = good;
  truncated.pop_back();
  auto wrongType = good;
  wrongType[2] = 2;  // a cursor file
  auto farOffset = good;
  farOffset[18] = 0xFF;
  auto shortDirectory = good;
  shortDirectory[4] = 2;  // claims a second entry that is not there
  for (const auto& bad : {truncated, wrongType, farOffset, shortDirectory}) {
    EXPECT_TRUE(Platform::ReadIconGroup(bad).empty());
  }
  EXPECT_TRUE(Platform::ReadIconGroup({}).empty());
}

std::map<std::string, std::string> ReadRecord(std::string_view text) {
  std::map<std::string, std::string> values;
  std::istringstream in{std::string(text)};
  std::string section, line;
  while (std::getline(in, line)) {
    if (line.starts_with("[")) {
      section = line;
    } else if (const auto eq = line.find('='); eq != std::string::npos) {
      values[section + line.substr(0, eq)] = line.substr(eq + 1);
    }
  }
  return values;
}

TEST(ResourcesVersion, RecordCarriesTheProductVersion) {
  const auto bytes = Platform::FindResource(L"VERSION", 1);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  EXPECT_EQ(text, Resources::FormatVersionRecord());
  auto record = ReadRecord(text);
  EXPECT_EQ(record["[FixedFileInfo]FileVersion"], "1.0.0.1");
  EXPECT_EQ(record["[FixedFileInfo]ProductVersion"], "1.0.0.1");
  EXPECT_EQ(record["[StringFileInfo]Language"], "2052");
  EXPECT_EQ(record["[StringFileInfo]FileVersion"], "1.7.9");
  EXPECT_EQ(record["[StringFileInfo]ProductVersion"], "1.7.9");
  EXPECT_EQ(record["[StringFileInfo]ProductName"], "Velmora");
  EXPECT_EQ(record["[StringFileInfo]FileDescription"], "Velmora");
  EXPECT_EQ(Resources::VersionText(), L"Velmora 1.7.9");
}

}  // namespace

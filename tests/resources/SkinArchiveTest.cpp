// The embedded skin archive: its format, its entries and its images.
#define STB_IMAGE_IMPLEMENTATION
#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Resources.h"
#include "tests/resources/SkinFiles.h"

namespace {

struct Entry {
  const char* name;
  int width;  // 0 for the layouts
  int height;
};

// Every file of the skin, with the pixel size of each image.
const Entry kEntries[] = {
    {"mainWnd.xml", 0, 0},
    {"MessageBox1Wnd.xml", 0, 0},
    {"MessageBox2Wnd.xml", 0, 0},
    {"exitTipWnd.xml", 0, 0},
    {"NetworkTipWnd.xml", 0, 0},
    {"InstalledPathTipWnd.xml", 0, 0},
    {"res/common/closebtn1.png", 24, 24},
    {"res/common/closebtn2.png", 24, 24},
    {"res/common/closebtn3.png", 24, 24},
    {"res/common/closebtnM_1.png", 30, 30},
    {"res/common/closebtnM_2.png", 30, 30},
    {"res/common/closebtnM_3.png", 30, 30},
    {"res/common/minbtn1.png", 24, 24},
    {"res/common/minbtn2.png", 24, 24},
    {"res/common/minbtn3.png", 24, 24},
    {"res/mainWnd/bg1.png", 600, 400},
    {"res/mainWnd/bg2.png", 600, 400},
    {"res/mainWnd/bg3.png", 600, 400},
    {"res/mainWnd/bg4.png", 600, 400},
    {"res/mainWnd/installBtnAnimate/000.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/001.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/002.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/003.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/004.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/005.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/006.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/007.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/008.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/009.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/010.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/011.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/012.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/013.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/014.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/015.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/016.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/017.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/018.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/019.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/020.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/021.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/022.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/023.png", 200, 200},
    {"res/mainWnd/installBtnAnimate/024.png", 200, 200},
    {"res/mainWnd/logo.png", 170, 120},
    {"res/mainWnd/backBtn1.png", 64, 30},
    {"res/mainWnd/backBtn2.png", 64, 30},
    {"res/mainWnd/backBtn3.png", 64, 30},
    {"res/mainWnd/chDirBtn1.png", 81, 32},
    {"res/mainWnd/chDirBtn2.png", 81, 32},
    {"res/mainWnd/chDirBtn3.png", 81, 32},
    {"res/mainWnd/installBtn1.png", 200, 46},
    {"res/mainWnd/installBtn2.png", 200, 46},
    {"res/mainWnd/installBtn3.png", 200, 46},
    {"res/mainWnd/experienceBtn1.png", 200, 46},
    {"res/mainWnd/experienceBtn2.png", 200, 46},
    {"res/mainWnd/experienceBtn3.png", 200, 46},
    {"res/mainWnd/customeBtn1.png", 16, 16},
    {"res/mainWnd/customeBtn2.png", 16, 16},
    {"res/mainWnd/Cb1.png", 16, 16},
    {"res/mainWnd/Cb2.png", 16, 16},
    {"res/mainWnd/installDirEdit.png", 340, 32},
    {"res/mainWnd/installPrg1.png", 520, 8},
    {"res/mainWnd/installPrg2.png", 520, 8},
    {"res/mainWnd/tipLbl.png", 116, 32},
    {"res/mainWnd/finished.png", 80, 80},
    {"res/MessageBoxWnd/icoNetwork.png", 40, 40},
    {"res/MessageBoxWnd/icoQuest.png", 40, 40},
    {"res/MessageBoxWnd/icoWarn.png", 40, 40},
};

using TestSupport::EmbeddedSkin;

TEST(ResourcesSkinArchive, HoldsExactlyTheSkinEntries) {
  const auto& skin = EmbeddedSkin();
  ASSERT_EQ(skin.error, "");
  std::vector<std::string> expected, actual;
  for (const Entry& e : kEntries) expected.push_back(e.name);
  for (const auto& [name, data] : skin.files) actual.push_back(name);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(actual, expected);
  EXPECT_EQ(actual.size(), 69u);
  auto folders = skin.folders;
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (std::vector<std::string>{"res/", "res/MessageBoxWnd/", "res/common/", "res/mainWnd/",
                                                      "res/mainWnd/installBtnAnimate/"}));
  for (const auto& [name, data] : skin.files) EXPECT_FALSE(data.empty()) << name;
}

TEST(ResourcesSkinArchive, ImagesDecodeAtTheirSize) {
  const auto& skin = EmbeddedSkin();
  for (const Entry& e : kEntries) {
    if (e.width == 0) continue;
    SCOPED_TRACE(e.name);
    const auto it = skin.files.find(e.name);
    ASSERT_NE(it, skin.files.end());
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(it->second.data()),
                                            static_cast<int>(it->second.size()), &w, &h, &channels, 4);
    ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
    EXPECT_EQ(w, e.width);
    EXPECT_EQ(h, e.height);
    // Something is drawn: no image is fully transparent.
    bool visible = false;
    for (int i = 0; i < w * h && !visible; ++i) visible = pixels[i * 4 + 3] != 0;
    EXPECT_TRUE(visible);
    stbi_image_free(pixels);
  }
}

TEST(ResourcesSkinArchive, BackgroundsAreOpaque) {
  for (const char* name : {"res/mainWnd/bg1.png", "res/mainWnd/bg2.png", "res/mainWnd/bg3.png", "res/mainWnd/bg4.png"}) {
    SCOPED_TRACE(name);
    const std::string& png = EmbeddedSkin().files.at(name);
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels =
        stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()), static_cast<int>(png.size()), &w, &h, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    int translucent = 0;
    for (int i = 0; i < w * h; ++i) translucent += pixels[i * 4 + 3] != 255;
    EXPECT_EQ(translucent, 0);
    stbi_image_free(pixels);
  }
}

// The packing the framework's 7z reader expects: one solid LZMA2 block with a
// 768 KiB dictionary behind a compressed header. Checked with the 7z tool on
// the embedded bytes.
TEST(ResourcesSkinArchive, IsOneSolidLzma2BlockWithEncodedHeader) {
  const auto bytes = Platform::FindResource(L"ZIPRES", 147);
  char path[] = "/tmp/velmora-skin-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(fd);
  std::string listing;
  if (FILE* pipe = popen((std::string("7z l -slt ") + path + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) listing.append(buffer, n);
    pclose(pipe);
  }
  std::remove(path);
  EXPECT_NE(listing.find("Method = LZMA2:768k"), std::string::npos) << listing.substr(0, 600);
  EXPECT_NE(listing.find("Solid = +"), std::string::npos);
  EXPECT_NE(listing.find("Blocks = 1\n"), std::string::npos);
  // A plain header would start with the header id 0x01; an encoded one with 0x17.
  const std::uint64_t nextOffset = bytes[12] | (std::uint64_t{bytes[13]} << 8) | (std::uint64_t{bytes[14]} << 16) |
                                   (std::uint64_t{bytes[15]} << 24);
  ASSERT_LT(32 + nextOffset, bytes.size());
  EXPECT_EQ(bytes[32 + nextOffset], 0x17);
}

}  // namespace

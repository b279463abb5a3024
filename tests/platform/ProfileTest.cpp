#include "platform/Profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Text.h"

namespace {

namespace fs = std::filesystem;
using namespace Platform;

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmora-profile-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    path_ = Utf8ToWide((dir_ / "set.ini").string());
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Write(const std::string& bytes) { std::ofstream(dir_ / "set.ini", std::ios::binary) << bytes; }
  std::string Read() {
    std::ifstream in(dir_ / "set.ini", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::wstring Get(const wchar_t* section, const wchar_t* key, std::size_t size = kProfileBufferSize) {
    return GetPrivateProfileString(section, key, L"<default>", path_, size);
  }

  fs::path dir_;
  std::wstring path_;
};

TEST_F(ProfileTest, ReadsWithWindowsSemantics) {
  Write("; comment\r\nTop=ignored\r\n[Install]\r\n  AppName =  Velmora  \r\nQuoted=\"  a b \"\r\nSingle='x'\r\n"
        "Empty=\r\nEq=a=b\r\nDup=first\r\nDup=second\r\n[Other]\r\nAppName=other\r\n[INSTALL]\r\nLate=no\r\n");
  EXPECT_EQ(Get(L"Install", L"AppName"), L"Velmora");
  EXPECT_EQ(Get(L"install", L"APPNAME"), L"Velmora");
  EXPECT_EQ(Get(L"Install", L"Quoted"), L"  a b ");
  EXPECT_EQ(Get(L"Install", L"Single"), L"x");
  EXPECT_EQ(Get(L"Install", L"Empty"), L"");
  EXPECT_EQ(Get(L"Install", L"Eq"), L"a=b");
  EXPECT_EQ(Get(L"Install", L"Dup"), L"first");
  EXPECT_EQ(Get(L"Install", L"Top"), L"<default>");
  EXPECT_EQ(Get(L"Install", L"Late"), L"<default>");  // only the first such section counts
  EXPECT_EQ(Get(L"Other", L"AppName"), L"other");
  EXPECT_EQ(Get(L"Missing", L"AppName"), L"<default>");
  EXPECT_EQ(Get(L"Install", L"AppName", 4), L"Vel");
}

TEST_F(ProfileTest, MissingFileGivesTheDefault) {
  EXPECT_EQ(GetPrivateProfileString(L"Install", L"K", L"d", L"/nonexistent/dir/x.ini"), L"d");
  EXPECT_EQ(GetPrivateProfileInt(L"Install", L"K", 7, L"/nonexistent/dir/x.ini"), 7);
}

TEST_F(ProfileTest, Integers) {
  Write("[S]\na=42\nb= -17xyz\nc=abc\nd=99999999999\ne=+3\n");
  EXPECT_EQ(GetPrivateProfileInt(L"S", L"a", 1, path_), 42);
  EXPECT_EQ(GetPrivateProfileInt(L"S", L"b", 1, path_), -17);
  EXPECT_EQ(GetPrivateProfileInt(L"S", L"c", 1, path_), 0);
  EXPECT_EQ(GetPrivateProfileInt(L"S", L"d", 1, path_), 1);
  EXPECT_EQ(GetPrivateProfileInt(L"S", L"e", 1, path_), 3);
  EXPECT_EQ(GetPrivateProfileInt(L"S", L"missing", 5, path_), 5);
}

TEST_F(ProfileTest, WritesCreateReplaceAndPreserve) {
  ASSERT_TRUE(WritePrivateProfileString(L"Install", L"AppName", L"Velmora", path_));
  EXPECT_EQ(Read(), "[Install]\nAppName=Velmora\n");
  ASSERT_TRUE(WritePrivateProfileString(L"Install", L"DeviceID", L"ABC", path_));
  ASSERT_TRUE(WritePrivateProfileString(L"install", L"appname", L"安装", path_));
  ASSERT_TRUE(WritePrivateProfileString(L"Init", L"UpdateTime", L"2024-03-05 07:08:09", path_));
  EXPECT_EQ(Read(), "[Install]\nappname=安装\nDeviceID=ABC\n[Init]\nUpdateTime=2024-03-05 07:08:09\n");

  Write("; keep me\r\n[Uninstall]\r\nIsOverride=false\r\n\r\n[Install]\r\nX=1\r\n");
  ASSERT_TRUE(WritePrivateProfileString(L"Uninstall", L"New", L"v", path_));
  EXPECT_EQ(Read(), "; keep me\n[Uninstall]\nIsOverride=false\nNew=v\n\n[Install]\nX=1\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);  // no temporary left
}

TEST_F(ProfileTest, WriteIntoAMissingFolderFailsAndUnreadableFilesAreNotReplaced) {
  EXPECT_FALSE(WritePrivateProfileString(L"S", L"k", L"v", L"/nonexistent/dir/x.ini"));
  // A file too large to be a settings file reads as missing and is never replaced.
  Write("[S]\nk=old\n" + std::string(17u << 20, ';'));
  EXPECT_EQ(Get(L"S", L"k"), L"<default>");
  EXPECT_FALSE(WritePrivateProfileString(L"S", L"k", L"new", path_));
  EXPECT_EQ(fs::file_size(dir_ / "set.ini"), 10u + (17u << 20));
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  Write("[S]\nk=old\n");
  ::chmod((dir_ / "set.ini").c_str(), 0200);
  EXPECT_FALSE(WritePrivateProfileString(L"S", L"other", L"v", path_));
  ::chmod((dir_ / "set.ini").c_str(), 0600);
  EXPECT_EQ(Read(), "[S]\nk=old\n");
}

}  // namespace

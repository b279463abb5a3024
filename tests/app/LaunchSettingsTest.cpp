#include "app/LaunchSettings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/Text.h"

namespace {

namespace fs = std::filesystem;

class LaunchSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmora-settings-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::wstring ConfigPath() const { return Platform::Utf8ToWide((dir_ / "KestrixInstallerConfig.ini").string()); }

  void WriteConfig(const std::string& bytes) const {
    std::ofstream(dir_ / "KestrixInstallerConfig.ini", std::ios::binary) << bytes;
  }

  LaunchSettings Load(std::vector<std::wstring> options = {}) const {
    LaunchSettings settings(ConfigPath());
    options.insert(options.begin(), L"/opt/velmora/VelmoraSetup.exe");
    settings.ParseCommandLine(options);
    return settings;
  }

  fs::path dir_;
};

TEST_F(LaunchSettingsTest, NoFileAndNoOptionsGiveTheBuiltInDefaults) {
  const LaunchSettings s = Load();
  EXPECT_EQ(s.m_DownloadUrl, kDefaultDownloadUrl);
  EXPECT_EQ(s.m_DownloadType, 1);
  EXPECT_FALSE(s.m_IsCheckNet);
  EXPECT_DOUBLE_EQ(s.m_DownloadScale, 0.7);
  EXPECT_EQ(s.m_InstCmd, L"");
  EXPECT_EQ(s.m_Language, -1);
  EXPECT_FALSE(s.m_InsNew);
}

// Files that exist but say nothing usable: the file's defaults, no crash.
TEST_F(LaunchSettingsTest, EmptyOrMalformedFilesGiveTheFileDefaults) {
  std::string utf16NoBom;
  for (char c : std::string("[Install]\r\nIsCheckNet=false\r\nDownloadType=3\r\n")) utf16NoBom += {c, '\0'};
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
  const std::string cases[] = {
      "[Install]\n",
      "",
      "DownloadType=3\nIsCheckNet=false\n",  // keys without a section
      garbage,
      "[Install]\nDownloadUrl=" + std::string(10000, 'u') + "\n" + std::string(10000, '=') + "\n",
      utf16NoBom,
  };
  for (const std::string& bytes : cases) {
    WriteConfig(bytes);
    const LaunchSettings s = Load();
    EXPECT_TRUE(s.m_IsCheckNet);
    EXPECT_EQ(s.m_DownloadType, 1);
    EXPECT_DOUBLE_EQ(s.m_DownloadScale, 0.7);
    EXPECT_EQ(s.m_InstCmd, L"");
    if (bytes.find("uuu") == std::string::npos) EXPECT_EQ(s.m_DownloadUrl, kDefaultDownloadUrl);
    else EXPECT_EQ(s.m_DownloadUrl, std::wstring(259, L'u'));
  }
}

TEST_F(LaunchSettingsTest, FileValuesAreReadWithTheirConversions) {
  WriteConfig(
      "\xEF\xBB\xBF; written by the download page\n[install]\n"
      "downloadurl = http://127.0.0.1:8080/software/${ROUTE}/x/${ROUTE}\n"
      "DownloadType=3abc\nIsCheckNet=True\nDownloadScale=  0.5fast\nInstCmd=" + std::string(300, 'c') + "\n");
  const LaunchSettings s = Load();
  EXPECT_EQ(s.m_DownloadUrl, L"http://127.0.0.1:8080/software/download_silent/x/download_silent");
  EXPECT_EQ(s.m_DownloadType, 3);
  EXPECT_FALSE(s.m_IsCheckNet);  // "True" is not "true"
  EXPECT_DOUBLE_EQ(s.m_DownloadScale, 0.5);
  EXPECT_EQ(s.m_InstCmd, std::wstring(259, L'c'));
}

TEST_F(LaunchSettingsTest, Utf16FileWithByteOrderMarkIsRead) {
  std::string bytes = "\xFF\xFE";
  for (char c : std::string("[Install]\r\nDownloadType=2\r\nIsCheckNet=false\r\n")) bytes += {c, '\0'};
  WriteConfig(bytes);
  const LaunchSettings s = Load();
  EXPECT_EQ(s.m_DownloadType, 2);
  EXPECT_FALSE(s.m_IsCheckNet);
}

TEST_F(LaunchSettingsTest, ScaleWithoutANumberIsZeroInTheFileAndNaNOnTheCommandLine) {
  WriteConfig("[Install]\nDownloadScale=abc\n");
  EXPECT_EQ(Load().m_DownloadScale, 0.0);
  EXPECT_TRUE(std::isnan(Load({L"-downloadscale=abc"}).m_DownloadScale));
  EXPECT_TRUE(std::isnan(Load({L"-downloadscale=nan"}).m_DownloadScale));
  EXPECT_DOUBLE_EQ(Load({L"-downloadscale=2.5e-1x"}).m_DownloadScale, 0.25);
  EXPECT_DOUBLE_EQ(Load({L"-downloadscale=0x10"}).m_DownloadScale, 0.0);
}

TEST_F(LaunchSettingsTest, CommandLineOptions) {
  WriteConfig("[Install]\nDownloadType=3\nDownloadScale=0.4\n");
  const struct {
    std::vector<std::wstring> options;
    std::function<void(const LaunchSettings&)> check;
    const char* what;
  } cases[] = {
      {{}, [](auto& s) { EXPECT_EQ(s.m_DownloadType, 3); }, "the file's value stays"},
      {{L"-downloadtype=2"}, [](auto& s) { EXPECT_EQ(s.m_DownloadType, 2); }, "the command line wins"},
      {{L"-downloadtype=2", L"-downloadtype=3"}, [](auto& s) { EXPECT_EQ(s.m_DownloadType, 2); }, "first occurrence"},
      {{L"-DownloadType=2"}, [](auto& s) { EXPECT_EQ(s.m_DownloadType, 3); }, "keys are case-sensitive"},
      {{L"-downloadtype= 12abc"}, [](auto& s) { EXPECT_EQ(s.m_DownloadType, 12); }, "leading digits"},
      {{L"-downloadtype=abc"}, [](auto& s) { EXPECT_EQ(s.m_DownloadType, 0); }, "no number is 0"},
      {{L"-downloadtype=99999999999"}, [](auto& s) { EXPECT_EQ(s.m_DownloadType, 3); }, "overflow keeps the value"},
      {{L"-downloadscale=1e999"}, [](auto& s) { EXPECT_DOUBLE_EQ(s.m_DownloadScale, 0.4); }, "overflow keeps"},
      {{L"-language=5"}, [](auto& s) { EXPECT_EQ(s.m_Language, 5); }, "language"},
      {{L"-language"}, [](auto& s) { EXPECT_EQ(s.m_Language, 0); }, "a bare option is present, empty"},
      {{L"-insnew"}, [](auto& s) { EXPECT_FALSE(s.m_InsNew); }, "bare boolean sets false"},
      {{L"-insnew=true"}, [](auto& s) { EXPECT_TRUE(s.m_InsNew); }, "insnew"},
      {{L"-ischecknet=true"}, [](auto& s) { EXPECT_TRUE(s.m_IsCheckNet); }, "ischecknet"},
      {{L"-ischecknet=TRUE"}, [](auto& s) { EXPECT_FALSE(s.m_IsCheckNet); }, "booleans are case-sensitive"},
      {{L"-instcmd=-a=b -c"}, [](auto& s) { EXPECT_EQ(s.m_InstCmd, L"-a=b -c"); }, "instcmd"},
      {{L"-downloadurl=http://127.0.0.1/p?a=b&c=d"},
       [](auto& s) { EXPECT_EQ(s.m_DownloadUrl, L"http://127.0.0.1/p?a=b&c=d"); }, "only the first = splits"},
      {{L"-downloadurl="}, [](auto& s) { EXPECT_EQ(s.m_DownloadUrl, L""); }, "an empty address empties it"},
      {{L"-downloadurl=http://h/${ROUTE}"},
       [](auto& s) { EXPECT_EQ(s.m_DownloadUrl, L"http://h/download_silent"); }, "route substitution"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.check(Load(c.options));
  }
}

TEST(ResolveRouteTest, ReplacesEveryPlaceholderAndLeavesOtherAddresses) {
  EXPECT_EQ(LaunchSettings::ResolveRoute(L"http://h/software/633"), L"http://h/software/633");
  EXPECT_EQ(LaunchSettings::ResolveRoute(L"${ROUTE}${ROUTE}"), L"download_silentdownload_silent");
  EXPECT_EQ(LaunchSettings::ResolveRoute(L"${ROUTE"), L"${ROUTE");
}

}  // namespace

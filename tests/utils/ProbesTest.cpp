#include <gtest/gtest.h>
#include <stdlib.h>

#include <cwctype>
#include <set>

#include "tests/support/LogCapture.h"
#include "utils/DeviceId.h"
#include "utils/HardDiskManager.h"
#include "utils/Network.h"
#include "utils/SystemVersion.h"

namespace {

using TestSupport::LogCapture;

TEST(SystemVersionTest, VersionTable) {
  const struct {
    unsigned major, minor, build;
    bool r2;
    const wchar_t* name;
  } cases[] = {
      {0, 0, 0, false, L"XP-"},   {4, 9, 0, false, L"XP-"},        {5, 0, 0, false, L"2K"},
      {5, 1, 0, false, L"XP"},    {5, 2, 0, false, L"Server 2003"}, {5, 2, 0, true, L"Server 2003 R2"},
      {5, 3, 0, false, L"XP+"},   {6, 0, 0, false, L"Vista"},       {6, 1, 7601, false, L"7"},
      {6, 2, 0, false, L"8"},     {6, 3, 0, false, L"8.1"},         {6, 4, 0, false, L"8.1+"},
      {10, 0, 19045, false, L"10"}, {10, 1, 0, false, L"10+"},      {11, 0, 22000, false, L"11.0.22000"},
      {7, 2, 0x12345, false, L"7.2.9029"},  // only the low 16 bits of the build
  };
  for (const auto& c : cases) EXPECT_EQ(Utils::SystemVersionName(c.major, c.minor, c.build, c.r2), c.name);
}

TEST(SystemVersionTest, LinuxNamesTheKernelAndNeverLooksLikeXp) {
  const std::wstring name = Utils::GetSystemVersionName();
  EXPECT_EQ(name.rfind(L"Linux ", 0), 0u);
  EXPECT_GT(name.size(), 6u);
  EXPECT_EQ(name.find(L"XP"), std::wstring::npos);
}

TEST(NetworkTest, ResultAndRecordsPerConnectivity) {
  const struct {
    std::optional<Platform::NetworkStatus> status;
    std::uint32_t result;
    std::vector<std::string> records;
  } cases[] = {
      {Platform::NetworkStatus{0x40, true}, 0x00000040, {}},
      {Platform::NetworkStatus{0x20, false}, 0x00020020, {"get_IsConnectedToInternet:0"}},
      {Platform::NetworkStatus{0, false}, 0x00010000, {"GetConnectivity 0"}},
      {std::nullopt, 0, {}},
  };
  for (const auto& c : cases) {
    LogCapture log;
    EXPECT_EQ(Utils::CheckNetwork(c.status), c.result);
    EXPECT_EQ(log.Messages("Utils::CheckNetwork"), c.records);
  }
}

TEST(NetworkTest, NetworkManagerAnswersMapToConnectivity) {
  using Platform::NetworkStatusFromNetworkManager;
  const struct {
    std::uint32_t connectivity, state, flags;
    bool internet;
  } cases[] = {
      {4, 0, 0x40, true}, {3, 0, 0x20, false}, {2, 0, 0x20, false}, {1, 0, 0, false},
      {0, 70, 0x40, true}, {0, 60, 0x20, false}, {0, 50, 0x20, false}, {0, 20, 0, false}, {9, 0, 0, false},
  };
  for (const auto& c : cases) {
    const auto s = NetworkStatusFromNetworkManager(c.connectivity, c.state);
    EXPECT_EQ(s.connectivity, c.flags) << c.connectivity << "/" << c.state;
    EXPECT_EQ(s.connectedToInternet, c.internet) << c.connectivity << "/" << c.state;
  }
}

TEST(NetworkTest, UnreachableNetworkManagerGivesZero) {
  const char* saved = getenv("DBUS_SYSTEM_BUS_ADDRESS");
  const std::string restore = saved ? saved : "";
  setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/velmora-bus", 1);
  LogCapture log;
  EXPECT_EQ(Utils::CheckNetwork(), 0u);
  EXPECT_TRUE(log.Records().empty());
  if (saved) setenv("DBUS_SYSTEM_BUS_ADDRESS", restore.c_str(), 1);
  else unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

TEST(HardDiskManagerTest, FillsTheFieldsForAFolderOrItsNearestExistingAncestor) {
  for (const wchar_t* path : {L"/tmp", L"/tmp/velmora/not/yet/created"}) {
    Utils::HardDiskManager disk;
    ASSERT_TRUE(disk.CheckFreeSpace(path));
    EXPECT_GT(disk.m_TotalBytes, 0u);
    EXPECT_LE(disk.m_FreeBytesAvailable, disk.m_TotalFreeBytes);
    EXPECT_LE(disk.m_TotalFreeBytes, disk.m_TotalBytes);
  }
}

TEST(HardDiskManagerTest, FailureWritesTheErrorAndLeavesTheFields) {
  for (const auto& [path, code] : {std::pair{L"", "2"}, std::pair{L"/etc/passwd/sub", "20"}}) {
    LogCapture log;
    Utils::HardDiskManager disk;
    disk.m_FreeBytesAvailable = 1, disk.m_TotalBytes = 2, disk.m_TotalFreeBytes = 3;
    EXPECT_FALSE(disk.CheckFreeSpace(path));
    EXPECT_EQ(disk.m_FreeBytesAvailable, 1u);
    EXPECT_EQ(disk.m_TotalBytes, 2u);
    EXPECT_EQ(disk.m_TotalFreeBytes, 3u);
    EXPECT_EQ(log.Messages("Utils::HardDiskManager::CheckFreeSpace"),
              std::vector<std::string>{std::string("HardDiskManager::CheckFreeSpace FAIL code=") + code + "\r\n"});
  }
}

TEST(DeviceIdTest, FormatAndFreshness) {
  EXPECT_EQ(Utils::FormatDeviceId({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0x4C, 0xDE, 0xAF, 0x12, 0x34, 0x56, 0x78, 0x9A,
                                   0xBC, 0xDE}),
            L"0123456789AB4cdeAF123456789ABCDE");
  std::set<std::wstring> seen;
  for (int i = 0; i < 100; ++i) {
    const std::wstring id = Utils::NewDeviceId();
    ASSERT_EQ(id.size(), 32u);
    for (wchar_t c : id) ASSERT_TRUE(std::iswxdigit(c));
    for (int k = 12; k < 16; ++k) ASSERT_FALSE(std::iswupper(id[k])) << id;  // characters 13 to 16
    EXPECT_EQ(id[12], L'4');
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 100u);
}

}  // namespace

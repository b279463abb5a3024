#include "utils/Rights.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <string>

#include "platform/Text.h"

namespace {

TEST(RightsTest, RunningAsAdminMeansEffectiveUidZero) { EXPECT_EQ(Utils::IsRunAsAdmin(), ::geteuid() == 0); }

// The login name, or the real uid's account where there is no login.
std::wstring LoginName() {
  if (const char* login = ::getlogin(); login != nullptr && *login != '\0') return Platform::AnsiToWide(login);
  const passwd* pw = ::getpwuid(::getuid());
  return pw != nullptr ? Platform::AnsiToWide(pw->pw_name) : std::wstring();
}

TEST(RightsTest, ConsoleUserIsTheSudoUserThenThePkexecUidThenTheLogin) {
  struct Case {
    const char* sudoUser;
    const char* pkexecUid;
    std::wstring expected;
  } cases[] = {
      {"alice", "0", L"alice"},     // SUDO_USER wins, even naming an account that does not exist
      {"", "0", L"root"},           // an empty SUDO_USER does not count
      {nullptr, "0", L"root"},      // PKEXEC_UID names the account by uid
      {nullptr, "x1", LoginName()}, // not a uid
      {nullptr, nullptr, LoginName()},
  };
  for (const Case& c : cases) {
    ::unsetenv("SUDO_USER");
    ::unsetenv("PKEXEC_UID");
    if (c.sudoUser != nullptr) ::setenv("SUDO_USER", c.sudoUser, 1);
    if (c.pkexecUid != nullptr) ::setenv("PKEXEC_UID", c.pkexecUid, 1);
    std::wstring name = L"stale";
    EXPECT_EQ(Utils::GetConsoleUserName(name), !c.expected.empty());
    EXPECT_EQ(name, c.expected) << (c.sudoUser ? c.sudoUser : "-") << " " << (c.pkexecUid ? c.pkexecUid : "-");
  }
  ::unsetenv("SUDO_USER");
  ::unsetenv("PKEXEC_UID");
}

TEST(RightsTest, AdminAccountIsUidZeroOrAMemberOfAnAdminGroup) {
  EXPECT_TRUE(Utils::IsAdminAccount(L"root"));
  EXPECT_FALSE(Utils::IsAdminAccount(L""));
  EXPECT_FALSE(Utils::IsAdminAccount(L"no-such-account-velmora"));
  if (::getpwnam("nobody") != nullptr) {
    EXPECT_FALSE(Utils::IsAdminAccount(L"nobody"));
  }
  // Whoever the system lists in an administrators' group counts.
  for (const char* groupName : {"sudo", "wheel", "admin"}) {
    const group* gr = ::getgrnam(groupName);
    if (gr == nullptr) continue;
    for (char** member = gr->gr_mem; *member != nullptr; ++member)
      if (::getpwnam(*member) != nullptr) {
        EXPECT_TRUE(Utils::IsAdminAccount(Platform::AnsiToWide(*member))) << *member;
      }
  }
}

}  // namespace

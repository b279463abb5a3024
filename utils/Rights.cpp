#include "utils/Rights.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/Paths.h"
#include "platform/Text.h"

namespace Utils {
namespace {

// The account and group databases answer into caller buffers; a record that
// needs more than this is treated as missing.
constexpr std::size_t kMaxRecordBuffer = 1 << 20;
constexpr int kMaxGroups = 65536;

const char* const kAdminGroups[] = {"sudo", "wheel", "admin"};

struct Account {
  std::string name;
  uid_t uid;
  gid_t gid;
};

template <typename Lookup>
bool LookUpWithGrowingBuffer(Lookup lookup) {
  std::vector<char> buffer(1024);
  while (true) {
    const int rc = lookup(buffer);
    if (rc != ERANGE) return rc == 0;
    if (buffer.size() >= kMaxRecordBuffer) return false;
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<Account> AccountByName(const std::string& name) {
  std::optional<Account> found;
  LookUpWithGrowingBuffer([&](std::vector<char>& buffer) {
    passwd pw{};
    passwd* result = nullptr;
    const int rc = getpwnam_r(name.c_str(), &pw, buffer.data(), buffer.size(), &result);
    if (rc == 0 && result != nullptr) found = Account{pw.pw_name, pw.pw_uid, pw.pw_gid};
    return rc;
  });
  return found;
}

std::optional<std::string> AccountNameByUid(uid_t uid) {
  std::optional<std::string> found;
  LookUpWithGrowingBuffer([&](std::vector<char>& buffer) {
    passwd pw{};
    passwd* result = nullptr;
    const int rc = getpwuid_r(uid, &pw, buffer.data(), buffer.size(), &result);
    if (rc == 0 && result != nullptr) found = pw.pw_name;
    return rc;
  });
  return found;
}

std::optional<gid_t> GroupIdByName(const char* name) {
  std::optional<gid_t> found;
  LookUpWithGrowingBuffer([&](std::vector<char>& buffer) {
    group gr{};
    group* result = nullptr;
    const int rc = getgrnam_r(name, &gr, buffer.data(), buffer.size(), &result);
    if (rc == 0 && result != nullptr) found = gr.gr_gid;
    return rc;
  });
  return found;
}

// The account's primary and supplementary groups.
std::vector<gid_t> GroupsOf(const Account& account) {
  int count = 64;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  while (getgrouplist(account.name.c_str(), account.gid, groups.data(), &count) == -1) {
    if (count <= static_cast<int>(groups.size()) || count > kMaxGroups) return {account.gid};
    groups.resize(static_cast<std::size_t>(count));
  }
  groups.resize(static_cast<std::size_t>(count));
  return groups;
}

std::optional<uid_t> ParseUid(const std::wstring& text) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
    return std::nullopt;
  const unsigned long long value = std::stoull(text);
  if (value > 0xFFFFFFFEull) return std::nullopt;
  return static_cast<uid_t>(value);
}

}  // namespace

bool IsRunAsAdmin() { return geteuid() == 0; }

bool GetConsoleUserName(std::wstring& name) {
  name.clear();
  if (auto sudoUser = Platform::GetEnvironmentVariable(L"SUDO_USER"); sudoUser && !sudoUser->empty()) {
    name = *sudoUser;
    return true;
  }
  if (auto pkexecUid = Platform::GetEnvironmentVariable(L"PKEXEC_UID")) {
    if (auto uid = ParseUid(*pkexecUid)) {
      if (auto account = AccountNameByUid(*uid)) {
        name = Platform::AnsiToWide(*account);
        return true;
      }
    }
  }
  char login[256] = {};
  if (getlogin_r(login, sizeof login) == 0 && login[0] != '\0') {
    name = Platform::AnsiToWide(login);
    return true;
  }
  if (auto account = AccountNameByUid(getuid())) {
    name = Platform::AnsiToWide(*account);
    return true;
  }
  return false;
}

bool IsAdminAccount(const std::wstring& name) {
  if (name.empty()) return false;
  const std::optional<Account> account = AccountByName(Platform::WideToAnsi(name));
  if (!account) return false;
  if (account->uid == 0) return true;
  const std::vector<gid_t> groups = GroupsOf(*account);
  for (const char* adminGroup : kAdminGroups) {
    const std::optional<gid_t> gid = GroupIdByName(adminGroup);
    if (gid && std::find(groups.begin(), groups.end(), *gid) != groups.end()) return true;
  }
  return false;
}

}  // namespace Utils

#include "install/Uninstaller.h"

#include <string_view>

#include "app/Log.h"
#include "install/ConsoleProcess.h"
#include "install/EventCodes.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "utils/Exception.h"
#include "utils/Rights.h"
#include "utils/Thread.h"

namespace {

// The uninstaller's keys, tried in this order; the first that begins a line
// decides. Unlike the package installer's, "Error=" comes before "State=".
enum class Key { Progress, Error, State, Encode };

constexpr Utils::KeyRule<Key> kKeys[] = {
    {L"Progress=", Key::Progress},
    {L"Error=", Key::Error},
    {L"State=", Key::State},
    {L"Encode=", Key::Encode},
};

const wchar_t* Word(bool value) { return value ? L"true" : L"false"; }

}  // namespace

CUninstaller::CUninstaller(StatusCallback callback, const std::wstring& uninstallerPath,
                           const std::wstring& installFolder)
    : callback_(std::move(callback)), uninstallerPath_(uninstallerPath), installFolder_(installFolder) {}

CUninstaller::~CUninstaller() { worker_.reset(); }

void CUninstaller::Start() {
  if (worker_) {
    worker_->Join();
    worker_.reset();
  }
  std::wstring user;
  const bool adminAccount = Utils::GetConsoleUserName(user) && Utils::IsAdminAccount(user);
  const bool elevated = Utils::IsRunAsAdmin();
  // Neither path is quoted; the folder is always last.
  commandLine_ = uninstallerPath_ + L" /S -adminact=" + Word(adminAccount) + L" -authorizationact=" + Word(elevated) +
                 L" -console=show _?=" + installFolder_;
  worker_ = std::make_unique<Utils::Thread>(this, L"UnInstaller", [this](void*) { Run(); });
  worker_->Start();
}

void CUninstaller::Emit(int code, double progress, const std::wstring& text) {
  if (callback_) callback_(code, progress, text.c_str());
}

void CUninstaller::Run() {
  if (!Platform::PathExists(uninstallerPath_)) {
    Emit(UNIST_CODE_FAIL, kChildProgramMissing, kUninstallerMissingText);
    return;
  }
  Emit(UNIST_CODE_PROGRESS, 0);

  Utils::ConsoleProcess child;
  try {
    child.Start(commandLine_);
  } catch (const Utils::Exception&) {
    Emit(UNIST_CODE_FAIL, kChildNotStarted);
    return;
  }

  // Reading goes on after a result line until the uninstaller ends: later
  // lines still have their events.
  bool noResult = true;
  const Utils::ExitStatus status = Utils::ReadLinesUntilExit(child, [&](std::string_view bytes) {
    if (Parse(Utils::DecodeLine(codePage_, bytes)) != Utils::kNoResultLine) noResult = false;
  });
  if (!noResult) return;

  if (status.Normal()) {
    Emit(UNIST_CODE_SUCCESS, 1);
  } else {
    LogRecord(L"Uninstaller ended without a result: %s %d\r\n", status.signaled ? L"signal" : L"exit code",
              status.code);
    Emit(UNIST_CODE_FAIL, kChildEndedAbnormally);
  }
}

int CUninstaller::Parse(const std::wstring& text) {
  Utils::LineResult last = Utils::kNoResultLine;
  for (const std::wstring& line : Utils::SplitLines(text)) {
    const Utils::LineResult result = HandleLine(line);
    if (result != Utils::kNoResultLine) last = result;
  }
  return last;
}

Utils::LineResult CUninstaller::HandleLine(const std::wstring& line) {
  const Utils::KeyRule<Key>* rule = Utils::MatchKey(line, kKeys);
  if (rule == nullptr) return Utils::kNoResultLine;
  const std::wstring_view key = rule->text;

  switch (rule->key) {
    case Key::Progress:
      Emit(UNIST_CODE_PROGRESS, Utils::ScanDouble(line, key));
      break;
    case Key::Error:
      Emit(UNIST_CODE_ERROR, 0, Utils::ScanText(line, key));
      return Utils::kFailureLine;
    case Key::State: {
      const std::wstring value = Utils::ScanText(line, key);
      if (Utils::TrimmedEquals(value, L"Success")) {
        Emit(UNIST_CODE_SUCCESS, 0);
        return Utils::kSuccessLine;
      }
      if (Utils::TrimmedEquals(value, L"Fail")) {
        Emit(UNIST_CODE_ERROR, 0, kUninstallFailedText);
        return Utils::kFailureLine;
      }
      break;
    }
    case Key::Encode:
      // Only "UTF8" is known here; every other value, numbers included, is
      // the system's narrow encoding.
      codePage_ = Utils::TrimmedEquals(Utils::ScanText(line, key), L"UTF8")
                      ? static_cast<std::int32_t>(Platform::kCodePageUtf8)
                      : static_cast<std::int32_t>(Platform::kCodePageAnsi);
      break;
  }
  return Utils::kNoResultLine;
}

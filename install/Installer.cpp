#include "install/Installer.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "app/LaunchSettings.h"
#include "app/Log.h"
#include "install/ConsoleLines.h"
#include "install/ConsoleProcess.h"
#include "install/EventCodes.h"
#include "platform/CommandLine.h"
#include "platform/Text.h"
#include "utils/Exception.h"
#include "utils/Thread.h"

namespace {

// The package installer's keys, tried in this order; the first that begins a
// line decides.
enum class Key {
  Progress,
  InstPath,
  State,
  InstallVersion,
  ExePath,
  StartExe,
  UninstExePath,
  UninstExe,
  UninstEp,
  Error,
  TopShowDetention,
  FinsihCloseDetention,
  StartUrl,
  StartupStyle,
  Encode,
  Message,
};

constexpr Utils::KeyRule<Key> kKeys[] = {
    {L"Progress=", Key::Progress},
    {L"InstPath=", Key::InstPath},
    {L"State=", Key::State},
    {L"InstallVersion=", Key::InstallVersion},
    {L"ExePath=", Key::ExePath},
    {L"StartExe=", Key::StartExe},
    {L"UninstExePath=", Key::UninstExePath},
    {L"UninstExe=", Key::UninstExe},
    {L"UninstEp=", Key::UninstEp},
    {L"Error=", Key::Error},
    {L"TopShowDetention=", Key::TopShowDetention},
    {L"FinsihCloseDetention=", Key::FinsihCloseDetention},
    {L"StartUrl=", Key::StartUrl},
    {L"StartupStyle=", Key::StartupStyle},
    {L"Encode=", Key::Encode},
    {L"Message=", Key::Message},
};

const wchar_t* Word(bool value) { return value ? L"true" : L"false"; }

double StartupStyleOf(std::wstring_view value) {
  if (Utils::TrimmedEquals(value, L"AutoStartup")) return 1;
  if (Utils::TrimmedEquals(value, L"UserStartup")) return 2;
  return 0;  // "NonStartup" and anything else
}

std::int32_t CodePageOf(std::wstring_view value) {
  if (Utils::TrimmedEquals(value, L"UTF8")) return static_cast<std::int32_t>(Platform::kCodePageUtf8);
  if (Utils::TrimmedEquals(value, L"ACP")) return static_cast<std::int32_t>(Platform::kCodePageAnsi);
  return Utils::ParseDecimal(Utils::Trimmed(value));
}

// A downloaded file carries no execute permission; it is given it wherever it
// may be read.
void MakeExecutable(const std::wstring& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path file(Platform::WideToAnsi(path));
  const fs::file_status status = fs::status(file, ec);
  if (ec || !fs::is_regular_file(status)) return;
  const fs::perms perms = status.permissions();
  fs::perms add = fs::perms::none;
  if ((perms & fs::perms::owner_read) != fs::perms::none) add |= fs::perms::owner_exec;
  if ((perms & fs::perms::group_read) != fs::perms::none) add |= fs::perms::group_exec;
  if ((perms & fs::perms::others_read) != fs::perms::none) add |= fs::perms::others_exec;
  if ((perms & add) != add) fs::permissions(file, add, fs::perm_options::add, ec);
}

}  // namespace

CInstaller::CInstaller(StatusCallback callback, const std::wstring& packagePath, const std::wstring& installFolder)
    : callback_(std::move(callback)), packagePath_(packagePath), installFolder_(installFolder) {}

CInstaller::~CInstaller() { worker_.reset(); }

std::wstring CInstaller::BuildCommandLine() const {
  std::wstring line = packagePath_;
  line += L" /S -console=show -version=1.0.0";
  line += L" -adminact=";
  line += Word(adminAccount_);
  line += L" -authorizationact=";
  line += Word(elevated_);
  line += L" -dsc=";
  line += Word(desktopShortcut_);
  line += L" -ssc=";
  line += Word(quickLaunch_);
  if (!language_.empty()) line += L" -inslang=\"" + language_ + L"\"";
  if (!g_LaunchSettings.m_InstCmd.empty()) line += L" " + g_LaunchSettings.m_InstCmd;
  if (!installFolder_.empty()) {
    line += L" -instdir=\"" + installFolder_ + L"\"";
    line += L" /D=" + installFolder_;  // unquoted, and always last
  }
  return line;
}

void CInstaller::Start() {
  if (worker_) {
    worker_->Join();
    worker_.reset();
  }
  commandLine_ = BuildCommandLine();
  worker_ = std::make_unique<Utils::Thread>(this, L"ABDEF", [this](void*) { Run(); });
  worker_->Start();
}

void CInstaller::Emit(int code, double progress, const std::wstring& text) {
  if (callback_) callback_(code, progress, text.c_str());
}

void CInstaller::Run() {
  Emit(IST_CODE_START, 0);
  Emit(IST_CODE_PROGRESS, 0);

  const bool quoted = !packagePath_.empty() && packagePath_.front() == L'"';
  MakeExecutable(quoted ? Platform::CommandLineToArgv(packagePath_).front() : packagePath_);

  Utils::ConsoleProcess child;
  try {
    child.Start(commandLine_);
  } catch (const Utils::Exception&) {
    Emit(IST_CODE_FAIL, kChildNotStarted);
    return;
  }

  ReadState state = ReadState::Interpreting;
  const Utils::ExitStatus status = Utils::ReadLinesUntilExit(child, [&](std::string_view bytes) {
    if (state == ReadState::Interpreting && Parse(Utils::DecodeLine(codePage_, bytes)) != Utils::kNoResultLine)
      state = ReadState::Draining;
  });
  if (state == ReadState::Draining) return;  // the result line has had its event

  // No result line: a package installer that reports none but ends well has
  // succeeded; one that crashed or gave a failure exit code has not.
  if (status.Normal()) {
    Emit(INSTALL_SUCCESS, 1);
  } else {
    LogRecord(L"Package installer ended without a result: %s %d\r\n", status.signaled ? L"signal" : L"exit code",
              status.code);
    Emit(IST_CODE_FAIL, kChildEndedAbnormally);
  }
}

int CInstaller::Parse(const std::wstring& text) {
  for (const std::wstring& line : Utils::SplitLines(text)) {
    const Utils::LineResult result = HandleLine(line);
    if (result != Utils::kNoResultLine) return result;
  }
  return Utils::kNoResultLine;
}

Utils::LineResult CInstaller::HandleLine(const std::wstring& line) {
  const Utils::KeyRule<Key>* rule = Utils::MatchKey(line, kKeys);
  if (rule == nullptr) return Utils::kNoResultLine;
  const std::wstring_view key = rule->text;

  switch (rule->key) {
    case Key::Progress:
      Emit(IST_CODE_PROGRESS, Utils::ScanDouble(line, key));
      break;
    case Key::InstPath:
      Emit(IST_CODE_INST_PATH, 0, Utils::ScanText(line, key));
      break;
    case Key::State: {
      const std::wstring value = Utils::ScanText(line, key);
      if (Utils::TrimmedEquals(value, L"Success")) {
        Emit(INSTALL_SUCCESS, 0);
        return Utils::kSuccessLine;
      }
      if (Utils::TrimmedEquals(value, L"Fail")) {
        Emit(IST_CODE_FAIL, kChildReportedFailure, kInstallFailedText);
        return Utils::kFailureLine;
      }
      break;
    }
    case Key::InstallVersion: {
      std::int32_t fields[3] = {version_.major, version_.minor, version_.patch};
      Utils::ScanVersion(line, key, fields);
      version_ = {fields[0], fields[1], fields[2]};
      break;
    }
    case Key::ExePath: {
      const std::wstring value = Utils::ScanText(line, key);
      LogRecord(L"ExePath: %s", value.c_str());
      Emit(IST_CODE_EXE_PATH, 0, value);
      break;
    }
    case Key::StartExe:
      Emit(IST_CODE_EXE_PATH, 0, Utils::ScanText(line, key));
      break;
    case Key::UninstExePath:
    case Key::UninstExe:
      Emit(IST_CODE_UNINST_EXE, 0, Utils::ScanText(line, key));
      break;
    case Key::UninstEp:
      Emit(IST_CODE_UNINST_EP, 0, Utils::ScanText(line, key));
      break;
    case Key::Error:
      Emit(IST_CODE_FAIL, kChildReportedError, Utils::ScanText(line, key));
      return Utils::kFailureLine;
    case Key::TopShowDetention:
      Emit(IST_CODE_TOP_SHOW_DETENTION, static_cast<std::uint32_t>(Utils::ScanInt(line, key)));
      break;
    case Key::FinsihCloseDetention:
      Emit(IST_CODE_FINISH_CLOSE_DETENTION, static_cast<std::uint32_t>(Utils::ScanInt(line, key)));
      break;
    case Key::StartUrl:
      Emit(IST_CODE_START_URL, 0, Utils::ScanText(line, key));
      break;
    case Key::StartupStyle:
      Emit(IST_CODE_STARTUP_STYLE, StartupStyleOf(Utils::ScanText(line, key)));
      break;
    case Key::Encode:
      codePage_ = CodePageOf(Utils::ScanText(line, key));
      break;
    case Key::Message:
      Emit(IST_CODE_MESSAGE, 0, Utils::ScanText(line, key));
      break;
  }
  return Utils::kNoResultLine;
}

#include "app/LaunchSettings.h"

#include "platform/CommandLine.h"
#include "platform/Paths.h"
#include "platform/Profile.h"
#include "utils/SystemVersion.h"

const wchar_t kDefaultDownloadUrl[] = L"http://download.kestrixsoft.com/software/633";

namespace {

constexpr wchar_t kConfigFileName[] = L"KestrixInstallerConfig.ini";
constexpr wchar_t kSection[] = L"Install";

template <typename T>
void Assign(T& field, const ParsedNumber<T>& number) {
  if (number.status != NumberStatus::kOutOfRange) field = number.value;
}

std::wstring ConfigFileBesideExecutable() {
  return Platform::ParentFolder(Platform::ExecutablePath()) + L"/" + kConfigFileName;
}

}  // namespace

LaunchSettings g_LaunchSettings;

LaunchSettings::LaunchSettings() : LaunchSettings(ConfigFileBesideExecutable()) {}

LaunchSettings::LaunchSettings(const std::wstring& configFilePath) : configFilePath_(configFilePath) {
  SetDownloadUrl(kDefaultDownloadUrl);
  LoadConfigFile();
}

void LaunchSettings::LoadConfigFile() {
  if (!Platform::PathExists(configFilePath_)) return;
  const auto read = [&](const wchar_t* key, const wchar_t* fallback) {
    return Platform::GetPrivateProfileString(kSection, key, fallback, configFilePath_);
  };
  SetDownloadUrl(read(L"DownloadUrl", kDefaultDownloadUrl));
  m_DownloadType = Platform::GetPrivateProfileInt(kSection, L"DownloadType", 1, configFilePath_);
  m_IsCheckNet = read(L"IsCheckNet", L"true") == L"true";
  ParsedNumber<double> scale = ParseLeadingDouble(read(L"DownloadScale", L"0.7"));
  if (scale.status == NumberStatus::kNoNumber) scale.value = 0.0;
  Assign(m_DownloadScale, scale);
  m_InstCmd = read(L"InstCmd", L"");
}

void LaunchSettings::ParseCommandLine() { ParseCommandLine(Platform::CommandLineToArgv(Platform::GetCommandLine())); }

void LaunchSettings::ParseCommandLine(const std::vector<std::wstring>& arguments) {
  const CommandLineMap options(arguments);
  if (options.Has(L"-downloadurl")) SetDownloadUrl(options.String(L"-downloadurl"));
  if (options.Has(L"-downloadtype")) Assign(m_DownloadType, options.Int(L"-downloadtype"));
  if (options.Has(L"-downloadscale")) Assign(m_DownloadScale, options.Double(L"-downloadscale"));
  if (options.Has(L"-ischecknet")) m_IsCheckNet = options.Bool(L"-ischecknet");
  if (options.Has(L"-instcmd")) m_InstCmd = options.String(L"-instcmd");
  if (options.Has(L"-language")) Assign(m_Language, options.Int(L"-language"));
  if (options.Has(L"-insnew")) m_InsNew = options.Bool(L"-insnew");
}

void LaunchSettings::SetDownloadUrl(const std::wstring& url) { m_DownloadUrl = ResolveRoute(url); }

std::wstring LaunchSettings::ResolveRoute(const std::wstring& url) {
  static constexpr std::wstring_view kPlaceholder = L"${ROUTE}";
  if (url.find(kPlaceholder) == std::wstring::npos) return url;
  const std::wstring route =
      Utils::GetSystemVersionName().find(L"XP") != std::wstring::npos ? L"download_silent_xp" : L"download_silent";
  std::wstring result = url;
  for (std::size_t at = result.find(kPlaceholder); at != std::wstring::npos; at = result.find(kPlaceholder))
    result.replace(at, kPlaceholder.size(), route);
  return result;
}

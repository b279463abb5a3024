// The events of the package installer runner (2001-2004, 3000-3009) and the
// uninstaller runner (5001-5005), as they reach the orchestrator and the
// window. The downloaders' codes (1001-1006) are in download/StatusCallback.h.
#pragma once

#include "download/StatusCallback.h"

enum InstallCode : int {
  IST_CODE_START = 2001,     // the run begins; progress 0
  IST_CODE_PROGRESS = 2002,  // 0 at the start, then each "Progress=" value (fraction 0 to 1)
  INSTALL_SUCCESS = 2003,    // progress 0 reported success, 1 ended without a result line
  IST_CODE_FAIL = 2004,      // progress: a ChildFailure reason; text empty, the failure text or the error text

  IST_CODE_INST_PATH = 3000,                // text: the folder the product was installed in
  IST_CODE_EXE_PATH = 3001,                 // text: the product's main program
  IST_CODE_UNINST_EXE = 3002,               // text: the product's uninstaller
  IST_CODE_UNINST_EP = 3003,                // text: the uninstaller entry the installation record keeps
  IST_CODE_START_URL = 3004,                // text: an address opened when the product starts
  IST_CODE_STARTUP_STYLE = 3005,            // progress: 0 NonStartup, 1 AutoStartup, 2 UserStartup
  IST_CODE_TOP_SHOW_DETENTION = 3007,       // progress: the number, as an unsigned 32-bit value
  IST_CODE_FINISH_CLOSE_DETENTION = 3008,   // progress: the number, as an unsigned 32-bit value
  IST_CODE_MESSAGE = 3009,                  // text: a message for the user
};

enum UninstallCode : int {
  UNIST_CODE_START = 5001,     // reserved; never emitted
  UNIST_CODE_PROGRESS = 5002,  // 0 at the start, then each "Progress=" value
  UNIST_CODE_SUCCESS = 5003,   // progress 0 reported success, 1 ended without a result line
  UNIST_CODE_FAIL = 5004,      // progress: a ChildFailure reason (missing, not started, ended abnormally)
  UNIST_CODE_ERROR = 5005,     // progress 0; text: the error text or the reported failure
};

// Why a runner failed, carried in the progress of IST_CODE_FAIL and UNIST_CODE_FAIL.
enum ChildFailure : int {
  kChildReportedFailure = 0,   // a "State=Fail" line
  kChildProgramMissing = 1,    // no uninstaller file
  kChildNotStarted = 2,        // pipes or process could not be created (or the command line is too long)
  kChildEndedAbnormally = 3,   // crashed or exited non-zero without a result line
  kChildReportedError = 1000,  // an "Error=" line
};

// The event texts of the runners.
inline constexpr wchar_t kInstallFailedText[] = L"安装包安装失败";
inline constexpr wchar_t kUninstallFailedText[] = L"安装包卸载失败";
inline constexpr wchar_t kUninstallerMissingText[] = L"可执行卸载文件不存在";

// The name of any event code (download codes included), as logs show it;
// nullptr for a code that has none.
constexpr const wchar_t* EventCodeName(int code) {
  switch (code) {
    case DL_CODE_START: return L"DL_CODE_START";
    case DL_CODE_PROGRESS: return L"DL_CODE_PROGRESS";
    case DL_CODE_SUCCESS: return L"DL_CODE_SUCCESS";
    case DL_CODE_FAIL: return L"DL_CODE_FAIL";
    case DL_CODE_RETRY: return L"DL_CODE_RETRY";
    case DL_CODE_INFO: return L"DL_CODE_INFO";
    case IST_CODE_START: return L"IST_CODE_START";
    case IST_CODE_PROGRESS: return L"IST_CODE_PROGRESS";
    case INSTALL_SUCCESS: return L"INSTALL_SUCCESS";
    case IST_CODE_FAIL: return L"IST_CODE_FAIL";
    case IST_CODE_INST_PATH: return L"IST_CODE_INST_PATH";
    case IST_CODE_EXE_PATH: return L"IST_CODE_EXE_PATH";
    case IST_CODE_UNINST_EXE: return L"IST_CODE_UNINST_EXE";
    case IST_CODE_UNINST_EP: return L"IST_CODE_UNINST_EP";
    case IST_CODE_START_URL: return L"IST_CODE_START_URL";
    case IST_CODE_STARTUP_STYLE: return L"IST_CODE_STARTUP_STYLE";
    case IST_CODE_TOP_SHOW_DETENTION: return L"IST_CODE_TOP_SHOW_DETENTION";
    case IST_CODE_FINISH_CLOSE_DETENTION: return L"IST_CODE_FINISH_CLOSE_DETENTION";
    case IST_CODE_MESSAGE: return L"IST_CODE_MESSAGE";
    case UNIST_CODE_START: return L"UNIST_CODE_START";
    case UNIST_CODE_PROGRESS: return L"UNIST_CODE_PROGRESS";
    case UNIST_CODE_SUCCESS: return L"UNIST_CODE_SUCCESS";
    case UNIST_CODE_FAIL: return L"UNIST_CODE_FAIL";
    case UNIST_CODE_ERROR: return L"UNIST_CODE_ERROR";
    default: return nullptr;
  }
}

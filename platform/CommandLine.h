// Windows-style command lines: one string, split into arguments by the rules
// of CommandLineToArgvW (blanks separate, quotes group, backslashes escape
// quotes), so that a program path with blanks survives when quoted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Platform {

std::vector<std::wstring> CommandLineToArgv(std::wstring_view commandLine);

// The inverse: quotes each argument as needed so that CommandLineToArgv gives
// the same arguments back.
std::wstring ArgvToCommandLine(const std::vector<std::wstring>& arguments);

// This process's own command line, built from its argv.
std::wstring GetCommandLine();

}  // namespace Platform

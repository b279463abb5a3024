// Diagnostic records. Each record is one line of wide text with the prefix
//   <P%05d><T%05d><%04d-%02d-%02d %02d:%02d:%02d.%03d>(%s)<%04d>:
// followed by the caller's printf-style message; line ends are the caller's.
#pragma once

#include <fmt/printf.h>
#include <fmt/xchar.h>

#include <new>
#include <string>
#include <string_view>

#include "platform/SystemInfo.h"

namespace Log {

// "int Utils::Thread::CallBack(void*)" -> "Utils::Thread::CallBack"; a lambda's
// call operator becomes "Outer::Function::<lambda>::operator()".
std::wstring QualifiedFunctionName(std::string_view prettyFunction);

// The record prefix as a format string, for "%s" taking a wide string.
inline constexpr wchar_t kPrefix[] = L"<P%05d><T%05d><%04d-%02d-%02d %02d:%02d:%02d.%03d>(%s)<%04d>: ";

void Emit(const std::wstring& record);

// Formats printf-style into one buffer and hands it to the debug channel.
// Never throws; a record that cannot be formatted or allocated is dropped.
template <typename... Args>
void DebugPrintW(std::wstring_view format, const Args&... args) noexcept {
  try {
    Emit(fmt::sprintf(format, args...));
  } catch (...) {
  }
}

// One record with the given prefix values.
template <typename... Args>
void WriteAs(int processId, int threadId, const Platform::LocalTime& t, const std::wstring& function, int line,
             std::wstring_view message, const Args&... args) noexcept {
  try {
    std::wstring format(kPrefix);
    format += message;
    DebugPrintW(format, processId, threadId, t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond,
                function.c_str(), line, args...);
  } catch (...) {
  }
}

template <typename... Args>
void Write(const std::wstring& function, int line, std::wstring_view message, const Args&... args) noexcept {
  WriteAs(Platform::CurrentProcessId(), Platform::CurrentThreadId(), Platform::LocalTimeNow(), function, line,
          message, args...);
}

}  // namespace Log

// The statement form: captures the writer's qualified function name (computed
// once per call site and never freed, so that a detached thread may still
// write while the process exits) and source line.
#define LogRecord(...)                                                          \
  do {                                                                          \
    static const std::wstring* const logFunctionName_ =                         \
        new std::wstring(::Log::QualifiedFunctionName(__PRETTY_FUNCTION__));    \
    ::Log::Write(*logFunctionName_, __LINE__, __VA_ARGS__);                     \
  } while (0)

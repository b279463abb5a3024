// The debug output channel: every diagnostic record goes here, whole.
#pragma once

#include <string_view>

namespace Platform {

// Receives each record as UTF-8 bytes, in one call.
class DebugSink {
 public:
  virtual ~DebugSink() = default;
  virtual void Write(std::string_view record) = 0;
};

// Emits one record. By default this is one write(2) to stderr, so records of
// different threads never interleave.
void OutputDebugString(std::wstring_view record);

// Replaces the sink (nullptr restores stderr) and returns the previous one.
// Swap only while no other thread writes records (tests install a capturing
// sink around the code under test).
DebugSink* SetDebugSink(DebugSink* sink);

}  // namespace Platform

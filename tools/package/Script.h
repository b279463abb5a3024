// Scripted behaviour for tests: instead of its normal work, a program follows
// a script file named by an environment variable, one directive per line
// (blank lines and lines starting with "#" are skipped):
//
//   out TEXT      TEXT and a line feed on standard output, in one write
//   raw TEXT      TEXT alone on standard output
//   err TEXT      TEXT and a line feed on standard error
//   gbk TEXT      TEXT in code page 936 (GBK) and a line feed on standard output
//   sync          waits (10 s at most) until the reader has taken all output
//                 written so far, so that the next write starts a new read
//   sleep MS      pauses
//   flood-out N   N bytes of filler lines on standard output
//   flood-err N   N bytes of filler lines on standard error
//   args FILE     writes the program's arguments, argv[0] first, each in UTF-8
//                 and ended by a zero byte, to FILE
//   fds FILE      writes the program's open descriptors, one "number target" a line
//   run           does the program's normal work at this point
//   crash         dies by a segmentation fault
//   exit N        ends at once with exit code N
//
// TEXT takes the escapes \r \n \t \0 \\ and \xHH. The script ends with exit
// code 0 unless it says otherwise.
#pragma once

#include <functional>
#include <string>

namespace Peer {

// Runs the script named by the environment variable when it is set, else
// the program's normal work (run). Returns the exit code (2 when the script
// cannot be read or has a bad line).
int RunScriptOr(const char* variable, int argc, char** argv, const std::function<int()>& run);

}  // namespace Peer

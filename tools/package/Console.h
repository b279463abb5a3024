// What the product's console programs share: writing protocol lines and
// reading their own command lines.
#pragma once

#include <string>
#include <string_view>

namespace Peer {

// Writes all of the bytes to a descriptor, in as few writes as the pipe takes.
bool WriteAll(int fd, std::string_view bytes);

// One protocol line on standard output: the text and a line feed, in one write.
void Say(std::string_view line);

// The value of the first argument that begins with the option, or nothing.
// With toEnd, every later argument is joined on with single blanks: the
// option is the last on the line and its value is unquoted, so blanks in it
// have split it apart.
bool OptionValue(int argc, char** argv, std::string_view option, std::string& value, bool toEnd = false);

}  // namespace Peer

// The utilities' exception type. The child-process launcher throws it, with
// an empty message, when a pipe or the child cannot be created; the runners
// catch it and turn it into their failure event, so it never crosses a
// component boundary.
#pragma once

#include <stdexcept>
#include <string>

namespace Utils {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message = {}) : std::runtime_error(message) {}
};

}  // namespace Utils

#pragma once
// The general exception class that the program's own errors derive from.
#include <stdexcept>
#include <string>

namespace tavelo {

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tavelo

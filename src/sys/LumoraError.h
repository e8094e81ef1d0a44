#pragma once
// The one exception class of the program: errors that are reported with a
// message carry that message here.

#include <stdexcept>
#include <string>

namespace lumora {

class ELumoraError : public std::runtime_error {
 public:
  explicit ELumoraError(const std::string& Message) : std::runtime_error(Message) {}
};

}  // namespace lumora

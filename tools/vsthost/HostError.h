#pragma once

#include <stdexcept>
#include <string>

namespace sorvano {

// A failure the command-line host reports to its user and ends the command
// with: a file that cannot be read, a plug-in that cannot be loaded or that
// refuses a request. Thrown only by the host's own code, never through a
// plug-in's stack frames (the host callback catches everything).
class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace sorvano

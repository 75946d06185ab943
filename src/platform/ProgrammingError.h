#pragma once

#include <stdexcept>
#include <string>

namespace tresol {

// A call that only faulty program code can make (an unsupported operation, a code or an index
// outside its range). Nothing in the program catches it, so the program stops.
class ProgrammingError : public std::logic_error {
  public:
    explicit ProgrammingError(const std::string& what) : std::logic_error(what) {}
};

} // namespace tresol

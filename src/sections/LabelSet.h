#pragma once

#include <cstdint>
#include <string>

namespace tresol {

// An indexed set of labels (a window's control array of labels) into which a section writes
// a short description of itself, one line per label. An index the set does not hold is a
// programming error.
class LabelSet {
  public:
    virtual ~LabelSet() = default;

    virtual std::string Caption(std::int32_t index) const = 0;
    virtual void Caption(std::int32_t index, const std::string& text) = 0;
};

} // namespace tresol

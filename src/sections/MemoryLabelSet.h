#pragma once

#include "platform/BoundedArray.h"
#include "sections/LabelSet.h"

namespace tresol {

// Labels held in memory with indexes lo…hi, every caption empty at first; for tests and for
// clients without a window.
class MemoryLabelSet : public LabelSet {
  public:
    MemoryLabelSet(std::int32_t lo, std::int32_t hi) : captions_(lo, hi) {}

    std::string Caption(std::int32_t index) const override { return captions_(index); }
    void Caption(std::int32_t index, const std::string& text) override { captions_(index) = text; }

    std::int32_t lower() const { return captions_.lower(); }
    std::int32_t upper() const { return captions_.upper(); }

  private:
    Array1<std::string> captions_;
};

} // namespace tresol

#pragma once

#include "platform/Value.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tresol {

// A window as the window-bound data sheet sees it: a name and its controls in the window's
// order (positions 0…controlCount() − 1). Each control may carry a tag, an index when it belongs
// to a control array, an enabled flag, a tool tip and a default property: the text of a text
// box, the caption of a label, the state of a check box. A position outside the window is a
// programming error.
class FormControls {
  public:
    virtual ~FormControls() = default;

    virtual std::string name() const = 0;
    virtual std::int32_t controlCount() const = 0;

    virtual std::string tag(std::int32_t control) const = 0;
    virtual void setTag(std::int32_t control, const std::string& tag) = 0;
    virtual std::optional<std::int32_t> index(std::int32_t control) const = 0;
    virtual bool enabled(std::int32_t control) const = 0;
    virtual Value value(std::int32_t control) const = 0;
    virtual void setValue(std::int32_t control, const Value& value) = 0;
    virtual std::string toolTip(std::int32_t control) const = 0;
    virtual void setToolTip(std::int32_t control, const std::string& text) = 0;

    // Closes the window for good.
    virtual void unload() = 0;
};

} // namespace tresol

#include "datasheets/MemoryForm.h"

#include "datasheets/SheetSupport.h"
#include "platform/ProgrammingError.h"

#include <utility>

namespace tresol {

std::int32_t MemoryForm::add(Kind kind, std::string tag, std::optional<std::int32_t> index,
                             Value value) {
    controls_.push_back({kind, std::move(tag), index, true, {}, {}});
    const auto position = controlCount() - 1;
    setValue(position, value);
    return position;
}

MemoryForm::Control& MemoryForm::at(std::int32_t control) {
    return const_cast<Control&>(std::as_const(*this).at(control));
}

const MemoryForm::Control& MemoryForm::at(std::int32_t control) const {
    if (control < 0 || static_cast<std::size_t>(control) >= controls_.size())
        throw ProgrammingError("no control at position " + std::to_string(control));
    return controls_[static_cast<std::size_t>(control)];
}

std::int32_t MemoryForm::controlCount() const {
    return static_cast<std::int32_t>(controls_.size());
}

void MemoryForm::setValue(std::int32_t control, const Value& value) {
    Control& c = at(control);
    if (c.kind != Kind::CheckBox) {
        c.value = sheets::controlText(value);
        return;
    }
    // A check box is unchecked (0), checked (1) or greyed (2); any other non-zero value checks it.
    const double n = valueNumber(value);
    c.value = std::int32_t{n == 0 ? 0 : n == 2 ? 2 : 1};
}

} // namespace tresol

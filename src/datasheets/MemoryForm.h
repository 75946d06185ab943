#pragma once

#include "datasheets/FormControls.h"

#include <utility>
#include <vector>

namespace tresol {

// A window kept in memory: what the window-bound sheet is tested on, and a stand-in for a window
// where there is no display. Text boxes and labels hold text; a check box holds 0, 1 or 2.
class MemoryForm : public FormControls {
  public:
    enum class Kind { TextBox, Label, CheckBox };

    struct Control {
        Kind kind = Kind::TextBox;
        std::string tag;
        std::optional<std::int32_t> index;
        bool enabled = true;
        Value value;
        std::string toolTip;
    };

    explicit MemoryForm(std::string name) : name_(std::move(name)) {}

    // Adds a control at the end of the window's order and answers its position.
    std::int32_t add(Kind kind, std::string tag, std::optional<std::int32_t> index = std::nullopt,
                     Value value = {});
    Control& at(std::int32_t control);
    const Control& at(std::int32_t control) const;
    bool unloaded() const { return unloaded_; }

    std::string name() const override { return name_; }
    std::int32_t controlCount() const override;
    std::string tag(std::int32_t control) const override { return at(control).tag; }
    void setTag(std::int32_t control, const std::string& tag) override { at(control).tag = tag; }
    std::optional<std::int32_t> index(std::int32_t control) const override {
        return at(control).index;
    }
    bool enabled(std::int32_t control) const override { return at(control).enabled; }
    Value value(std::int32_t control) const override { return at(control).value; }
    void setValue(std::int32_t control, const Value& value) override;
    std::string toolTip(std::int32_t control) const override { return at(control).toolTip; }
    void setToolTip(std::int32_t control, const std::string& text) override {
        at(control).toolTip = text;
    }
    void unload() override { unloaded_ = true; }

  private:
    std::string name_;
    std::vector<Control> controls_;
    bool unloaded_ = false;
};

} // namespace tresol

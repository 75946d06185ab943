#pragma once

#include "datasheets/FormControls.h"

#include <QList>
#include <QPointer>
#include <QWidget>

namespace tresol::app {

// A Qt window as the window-bound data sheet sees it: its child widgets in Qt's order, the tag
// and the control-array index held in the dynamic properties "tag" (text) and "index" (whole
// number). The default property is the text of a line edit, plain-text edit or editable combo
// box, the caption of a label, group box or button, the state of a check box (0, 1, 2), the
// checked state of a radio button and the value of a spin box or slider. The window is not
// owned; a control destroyed in the meantime is a programming error.
class QtFormControls : public FormControls {
  public:
    explicit QtFormControls(QWidget* window);

    // Takes the window's children again, after controls were added or removed.
    void refresh();

    std::string name() const override;
    std::int32_t controlCount() const override;
    std::string tag(std::int32_t control) const override;
    void setTag(std::int32_t control, const std::string& tag) override;
    std::optional<std::int32_t> index(std::int32_t control) const override;
    bool enabled(std::int32_t control) const override;
    Value value(std::int32_t control) const override;
    void setValue(std::int32_t control, const Value& value) override;
    std::string toolTip(std::int32_t control) const override;
    void setToolTip(std::int32_t control, const std::string& text) override;
    // Closes the window (which is deleted when it asked for that on close).
    void unload() override;

  private:
    QWidget* widget(std::int32_t control) const;

    QPointer<QWidget> window_;
    QList<QPointer<QWidget>> controls_;
};

} // namespace tresol::app

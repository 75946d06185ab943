#include "app/QtFormControls.h"

#include "datasheets/SheetSupport.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"

#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QVariant>

#include <algorithm>
#include <limits>

namespace tresol::app {
namespace {

constexpr const char* kTag = "tag";
constexpr const char* kIndex = "index";

QString qtext(const Value& v) {
    return QString::fromStdString(sheets::controlText(v));
}

// A whole number for a counting control; out of range values stop at its ends.
int wholeNumber(const Value& v) {
    const double n = valueNumber(v);
    const double clamped = std::clamp(n, static_cast<double>(std::numeric_limits<int>::min()),
                                      static_cast<double>(std::numeric_limits<int>::max()));
    return platform::roundToInt32(clamped).value_or(0);
}

} // namespace

QtFormControls::QtFormControls(QWidget* window) : window_(window) {
    if (!window)
        throw ProgrammingError("a form needs a window");
    refresh();
}

void QtFormControls::refresh() {
    controls_.clear();
    if (!window_)
        return;
    for (QWidget* w : window_->findChildren<QWidget*>())
        controls_.append(QPointer<QWidget>(w));
}

QWidget* QtFormControls::widget(std::int32_t control) const {
    if (control < 0 || control >= controls_.size())
        throw ProgrammingError("no control at position " + std::to_string(control));
    QWidget* w = controls_[control].data();
    if (!w)
        throw ProgrammingError("control at position " + std::to_string(control) +
                               " no longer exists");
    return w;
}

std::string QtFormControls::name() const {
    if (!window_)
        throw ProgrammingError("the form's window no longer exists");
    return window_->objectName().toStdString();
}

std::int32_t QtFormControls::controlCount() const {
    return static_cast<std::int32_t>(controls_.size());
}

std::string QtFormControls::tag(std::int32_t control) const {
    return widget(control)->property(kTag).toString().toStdString();
}

void QtFormControls::setTag(std::int32_t control, const std::string& tag) {
    widget(control)->setProperty(kTag, QString::fromStdString(tag));
}

std::optional<std::int32_t> QtFormControls::index(std::int32_t control) const {
    const QVariant v = widget(control)->property(kIndex);
    bool ok = false;
    const int i = v.isValid() ? v.toInt(&ok) : 0;
    return ok ? std::optional<std::int32_t>(i) : std::nullopt;
}

bool QtFormControls::enabled(std::int32_t control) const {
    // The control's own state and its containers', not whether the window is blocked just now.
    return widget(control)->isEnabledTo(window_.data());
}

Value QtFormControls::value(std::int32_t control) const {
    QWidget* w = widget(control);
    if (auto* c = qobject_cast<QCheckBox*>(w))
        return std::int32_t{c->checkState() == Qt::Unchecked          ? 0
                            : c->checkState() == Qt::PartiallyChecked ? 2
                                                                      : 1};
    if (auto* r = qobject_cast<QRadioButton*>(w))
        return r->isChecked();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text().toStdString();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text().toStdString();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text().toStdString();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return p->toPlainText().toStdString();
    if (auto* t = qobject_cast<QTextEdit*>(w))
        return t->toPlainText().toStdString();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText().toStdString();
    if (auto* s = qobject_cast<QSpinBox*>(w))
        return std::int32_t{s->value()};
    if (auto* d = qobject_cast<QDoubleSpinBox*>(w))
        return d->value();
    if (auto* s = qobject_cast<QAbstractSlider*>(w))
        return std::int32_t{s->value()};
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title().toStdString();
    return Value();
}

void QtFormControls::setValue(std::int32_t control, const Value& value) {
    QWidget* w = widget(control);
    if (auto* c = qobject_cast<QCheckBox*>(w)) {
        const int n = wholeNumber(value);
        if (n == 2)
            c->setTristate(true);
        c->setCheckState(n == 0 ? Qt::Unchecked : n == 2 ? Qt::PartiallyChecked : Qt::Checked);
    } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
        r->setChecked(valueNumber(value) != 0);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(qtext(value));
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(qtext(value));
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(qtext(value));
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        p->setPlainText(qtext(value));
    } else if (auto* t = qobject_cast<QTextEdit*>(w)) {
        t->setPlainText(qtext(value));
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->setCurrentText(qtext(value));
    } else if (auto* s = qobject_cast<QSpinBox*>(w)) {
        s->setValue(wholeNumber(value));
    } else if (auto* d = qobject_cast<QDoubleSpinBox*>(w)) {
        d->setValue(valueNumber(value));
    } else if (auto* s = qobject_cast<QAbstractSlider*>(w)) {
        s->setValue(wholeNumber(value));
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(qtext(value));
    } else {
        throw ProgrammingError("control " + tag(control) + " has no value to set");
    }
}

std::string QtFormControls::toolTip(std::int32_t control) const {
    return widget(control)->toolTip().toStdString();
}

void QtFormControls::setToolTip(std::int32_t control, const std::string& text) {
    widget(control)->setToolTip(QString::fromStdString(text));
}

void QtFormControls::unload() {
    if (window_)
        window_->close();
}

} // namespace tresol::app

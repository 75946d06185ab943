#include "app/QtLabelSet.h"

#include "platform/ProgrammingError.h"

#include <QLabel>
#include <QVariant>
#include <QWidget>

#include <string>

namespace tresol::app {

QtLabelSet::QtLabelSet(const QWidget& window, const QString& name) {
    for (QLabel* l : window.findChildren<QLabel*>(name)) {
        // A label outside the control array has no index; it is not one of the set.
        const QVariant index = l->property("index");
        if (index.isValid())
            add(index.toInt(), l);
    }
}

void QtLabelSet::add(std::int32_t index, QLabel* label) {
    if (!label)
        throw ProgrammingError("QtLabelSet: no label for index " + std::to_string(index));
    if (!labels_.emplace(index, label).second)
        throw ProgrammingError("QtLabelSet: two labels with index " + std::to_string(index));
}

QLabel& QtLabelSet::label(std::int32_t index) const {
    const auto it = labels_.find(index);
    if (it == labels_.end() || !it->second)
        throw ProgrammingError("QtLabelSet: no label with index " + std::to_string(index));
    return *it->second;
}

std::string QtLabelSet::Caption(std::int32_t index) const {
    return label(index).text().toStdString();
}

void QtLabelSet::Caption(std::int32_t index, const std::string& text) {
    label(index).setText(QString::fromStdString(text));
}

} // namespace tresol::app

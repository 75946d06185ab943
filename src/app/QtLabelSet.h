#pragma once

#include "sections/LabelSet.h"

#include <QPointer>
#include <QString>

#include <map>

class QLabel;
class QWidget;

namespace tresol::app {

// The label-set contract over QLabels: a window's control array (every QLabel child with the
// given objectName, keyed by its "index" property) and/or labels added one by one. The labels
// stay owned by their window; one that has been destroyed, like an index that was never there,
// is a programming error.
class QtLabelSet : public LabelSet {
  public:
    QtLabelSet() = default;
    QtLabelSet(const QWidget& window, const QString& name);

    // A second label under an index already held is a programming error.
    void add(std::int32_t index, QLabel* label);

    std::string Caption(std::int32_t index) const override;
    void Caption(std::int32_t index, const std::string& text) override;

  private:
    QLabel& label(std::int32_t index) const;

    std::map<std::int32_t, QPointer<QLabel>> labels_;
};

} // namespace tresol::app

#include "app/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace tresol::app {

void QtMessageSink::show(const std::string& text, platform::MsgIcon icon) {
    if (!pending_.empty() && pending_.back().text == text && pending_.back().icon == icon)
        ++pending_.back().count;
    else
        pending_.push_back({text, icon, 1});
    if (!scheduled_) {
        scheduled_ = true;
        QTimer::singleShot(0, this, &QtMessageSink::flush);
    }
}

void QtMessageSink::flush() {
    scheduled_ = false;
    if (flushing_)
        return; // the box on screen runs an event loop; the outer flush shows the rest
    flushing_ = true;
    while (!pending_.empty()) {
        const Pending p = pending_.front();
        pending_.erase(pending_.begin());
        present(collapsedText(p.text, p.count), p.icon);
    }
    flushing_ = false;
}

std::string QtMessageSink::collapsedText(const std::string& text, int count) {
    if (count <= 1)
        return text;
    return text + "\n\n(" + std::to_string(count) + " veces)";
}

void QtMessageSink::present(const std::string& text, platform::MsgIcon icon) {
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    if (icon == platform::MsgIcon::Critical)
        qtIcon = QMessageBox::Critical;
    else if (icon == platform::MsgIcon::Information)
        qtIcon = QMessageBox::Information;
    QMessageBox box(qtIcon, QStringLiteral("Tresol"), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    // Block every window while the message is up, as a message box of the library does.
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace tresol::app

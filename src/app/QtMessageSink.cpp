#include "app/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>

namespace tresol::app {

void QtMessageSink::show(const std::string& text, platform::MsgIcon icon) {
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    if (icon == platform::MsgIcon::Critical)
        qtIcon = QMessageBox::Critical;
    else if (icon == platform::MsgIcon::Information)
        qtIcon = QMessageBox::Information;
    QMessageBox box(qtIcon, QStringLiteral("Tresol"), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    // Block every window while the message is up, as the library expects of a message box.
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace tresol::app

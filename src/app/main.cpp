#include "app/QtMessageSink.h"
#include "app/frmAbout.h"
#include "platform/Numbers.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tresol");
    QApplication::setOrganizationName("Tresol");

    // Numbers typed and shown follow the user's locale.
    const QString point = QLocale::system().decimalPoint();
    tresol::platform::setNumberLocale({point.isEmpty() ? '.' : point.at(0).toLatin1()});

    tresol::app::QtMessageSink sink;
    tresol::platform::installMessageSink(&sink);

    tresol::app::frmAbout launcher;
    launcher.show();
    const int rc = QApplication::exec();
    tresol::platform::installMessageSink(nullptr);
    return rc;
}

#include "WindowTestSupport.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tresol;
using namespace tresol::test;
using platform::MsgIcon;

TEST(QtMessageSink, ABurstOfOneActionBecomesOneBoxWithItsCount) {
    CountedBoxes sink;
    for (int i = 0; i < 5; ++i)
        platform::showError("Se ha intentado meter un redondo que no cabe");
    platform::showError("otro");
    platform::messages().show("otro", MsgIcon::Information);
    EXPECT_TRUE(sink.shown.empty()); // shown once the action is over
    QApplication::processEvents();
    EXPECT_EQ(sink.shown,
              (decltype(sink.shown){
                  {"Se ha intentado meter un redondo que no cabe\n\n(5 veces)", MsgIcon::Critical},
                  {"otro", MsgIcon::Critical},
                  {"otro", MsgIcon::Information}}));
}

TEST(QtMessageSink, ShowsAModalBoxTitledTresol) {
    app::QtMessageSink sink;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool modal = false;
    QTimer::singleShot(50, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                modal = box->windowModality() == Qt::ApplicationModal;
                box->accept();
            }
    });
    sink.show("Debe de introducir un número.", MsgIcon::Critical);
    sink.flush();
    EXPECT_EQ(title, "Tresol");
    EXPECT_EQ(text, QString::fromUtf8("Debe de introducir un número."));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_TRUE(modal);
}

#include "app/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tresol;
using platform::MsgIcon;

namespace {

class Recorded : public app::QtMessageSink {
  public:
    std::vector<std::pair<std::string, MsgIcon>> shown;

  protected:
    void present(const std::string& text, MsgIcon icon) override { shown.emplace_back(text, icon); }
};

} // namespace

TEST(QtMessageSink, ABurstOfOneActionBecomesOneBoxWithItsCount) {
    Recorded sink;
    platform::MessageSink* previous = platform::installMessageSink(&sink);
    for (int i = 0; i < 5; ++i)
        platform::showError("Se ha intentado meter un redondo que no cabe");
    platform::showError("otro");
    platform::messages().show("otro", MsgIcon::Information);
    EXPECT_TRUE(sink.shown.empty()); // shown once the action is over
    QApplication::processEvents();
    platform::installMessageSink(previous);

    ASSERT_EQ(sink.shown.size(), 3u);
    EXPECT_EQ(sink.shown[0].first, "Se ha intentado meter un redondo que no cabe\n\n(5 veces)");
    EXPECT_EQ(sink.shown[0].second, MsgIcon::Critical);
    EXPECT_EQ(sink.shown[1].first, "otro");
    EXPECT_EQ(sink.shown[2].second, MsgIcon::Information);
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

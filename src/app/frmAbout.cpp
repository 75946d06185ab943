#include "app/frmAbout.h"

#include "app/Twips.h"
#include "app/frmTresol.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tresol::app {

namespace {
QFrame* rule(QWidget* parent, const QColor& colour, int y) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, colour);
    line->setPalette(pal);
    line->setGeometry(twips(120), twips(y) + y % 15 / 8, twips(2880) - twips(120), 1);
    return line;
}
} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("Tresol");
    setFixedSize(twips(2988), twips(3072));
    setFont(compactFont(font()));

    Command2 = new QPushButton("VIGA", this);
    Command2->setObjectName("Command2");
    placeTwips(Command2, 120, 120, 1332, 492);
    Command1 = new QPushButton("PILAR", this);
    Command1->setObjectName("Command1");
    placeTwips(Command1, 1560, 120, 1332, 492);

    // An etched rule: a grey line with a white one under it.
    rule(this, QColor(128, 128, 128), 840)->setObjectName("Line1");
    auto* white = rule(this, Qt::white, 840);
    white->setObjectName("Line2");
    white->move(white->x(), white->y() + 1);

    lblDisclaimer = new QLabel(
        QString::fromUtf8("Recuerde: Este programa no tiene garantía de ningún tipo. Le "
                          "recomendamos que lo verifique."),
        this);
    lblDisclaimer->setObjectName("lblDisclaimer");
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(lblDisclaimer, 120, 960, 2772, 828);

    Text1 = new QLineEdit("https://tresol.example/", this);
    Text1->setObjectName("Text1");
    Text1->setReadOnly(true);
    placeTwips(Text1, 120, 2040, 2772, 372);

    cmdOK = new QPushButton("Salir", this);
    cmdOK->setObjectName("cmdOK");
    placeTwips(cmdOK, 120, 2640, 2700, 345);
    // Default and cancel button at once: Enter and Esc both leave.
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);

    connect(Command1, &QPushButton::clicked, this, [this] { openDesignWindow(0); });
    connect(Command2, &QPushButton::clicked, this, [this] { openDesignWindow(1); });
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);
}

void frmAbout::openDesignWindow(int tipo) {
    // Each press opens another window; an earlier one stays open on its own.
    frm_ = new frmTresol;
    frm_->Ini(tipo);
}

} // namespace tresol::app

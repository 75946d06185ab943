#include "app/frmAbout.h"

#include "app/Twips.h"
#include "app/frmTresol.h"
#include "platform/Version.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tresol::app {

namespace {
// One line of an etched rule: a grey line with a white one under it.
QFrame* rule(QWidget* parent, const char* name, const QColor& colour) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, colour);
    line->setPalette(pal);
    line->setFixedHeight(1);
    return line;
}
} // namespace

// The two member buttons side by side, the rule, the disclaimer, the address and "Salir", one
// under the other; the disclaimer takes any extra height.
frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("Tresol");

    Command2 = new QPushButton("VIGA", this);
    Command2->setObjectName("Command2");
    Command1 = new QPushButton("PILAR", this);
    Command1->setObjectName("Command1");
    for (QPushButton* b : {Command2, Command1})
        b->setMinimumHeight(twips(492));

    QFrame* grey = rule(this, "Line1", QColor(128, 128, 128));
    QFrame* white = rule(this, "Line2", Qt::white);

    lblDisclaimer =
        new QLabel(QString::fromUtf8("Recuerde: Este programa no tiene garantía de ningún tipo. Le "
                                     "recomendamos que lo verifique."),
                   this);
    lblDisclaimer->setObjectName("lblDisclaimer");
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Text1 = new QLineEdit("https://tresol.example/", this);
    Text1->setObjectName("Text1");
    Text1->setReadOnly(true);

    cmdOK = new QPushButton("Salir", this);
    cmdOK->setObjectName("cmdOK");
    // Default and cancel button at once: Enter and Esc both leave.
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);

    auto* members = new QHBoxLayout;
    members->addWidget(Command2);
    members->addWidget(Command1);
    auto* etched = new QVBoxLayout;
    etched->setSpacing(0);
    etched->addWidget(grey);
    etched->addWidget(white);
    auto* window = new QVBoxLayout(this);
    window->addLayout(members);
    window->addLayout(etched);
    window->addWidget(lblDisclaimer, 1);
    window->addWidget(new QLabel(QStringLiteral("Tresol " TRESOL_VERSION), this));
    window->addWidget(Text1);
    window->addWidget(cmdOK);

    // The original width, so the disclaimer wraps as it was laid out, and room for it.
    const int width = std::max(sizeHint().width(), twips(2988) * 3 / 2);
    resize(width, std::max(sizeHint().height(), heightForWidth(width)));

    connect(Command1, &QPushButton::clicked, this, [this] { openDesignWindow(0); });
    connect(Command2, &QPushButton::clicked, this, [this] { openDesignWindow(1); });
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);
}

void frmAbout::openDesignWindow(int tipo) {
    // Each press opens another window; an earlier one stays open on its own.
    frm_ = new frmTresol;
    frm_->setRemembersMember(true);
    frm_->Ini(tipo);
}

} // namespace tresol::app

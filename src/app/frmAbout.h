#pragma once

#include <QDialog>
#include <QPointer>

#include "app/frmTresol.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tresol::app {

// The launcher: opens a design window for a column ("PILAR") or a beam ("VIGA"), as many as the
// user wants, and stays open beside them.
class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);

    frmTresol* lastDesignWindow() const { return frm_; }

  private:
    void openDesignWindow(int tipo);

    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* cmdOK;
    QLabel* lblDisclaimer;
    QLineEdit* Text1;
    QPointer<frmTresol> frm_;
};

} // namespace tresol::app

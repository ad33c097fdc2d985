#include "forms/frmProgress.h"

#include "forms/Application.h"

#include "ui_ProgressForm.h"

#include <QProgressBar>
#include <QShowEvent>

#include <algorithm>

namespace velmora {

TProgressForm::TProgressForm(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TProgressForm>()) {
    InitFormResources();
    ui->setupUi(this);
    setFixedSize(273, 105);
    // The labels take the size of their text, whatever font the system
    // puts in place of the designed one.
    ui->Label1->adjustSize();
    ui->Label2->adjustSize();
}

TProgressForm::~TProgressForm() = default;

QProgressBar* TProgressForm::pbTotal() const {
    return ui->pbTotal;
}

QProgressBar* TProgressForm::pbCurrent() const {
    return ui->pbCurrent;
}

void TProgressForm::SetBar(QProgressBar* bar, int max, int position) {
    if (max <= 0) {
        bar->setRange(0, 1);
        bar->setValue(0);
        return;
    }
    bar->setRange(0, max);
    bar->setValue(std::clamp(position, 0, max));
}

void TProgressForm::showEvent(QShowEvent* event) {
    if (QWidget* main = parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(main->frameGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

} // namespace velmora

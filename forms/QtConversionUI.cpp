#include "forms/QtConversionUI.h"

#include "forms/Application.h"
#include "forms/QtText.h"
#include "forms/frmProgress.h"

#include <QApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QWindow>

namespace velmora {

TQtConversionUI::TQtConversionUI(QWidget* owner, TRepaintThrottle throttle)
    : FOwner(owner), FThrottle(std::move(throttle)) {}

TQtConversionUI::~TQtConversionUI() {
    SetBusyCursor(false);
}

void TQtConversionUI::SetProgressForm(TProgressForm* form) {
    FProgress = form;
    if (form) {
        FTotal = {form->pbTotal()->maximum(), form->pbTotal()->value()};
        FCurrent = {form->pbCurrent()->maximum(), form->pbCurrent()->value()};
    }
}

std::string TQtConversionUI::InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& defaultText) {
    const QString qCaption = FromLocal(caption);
    const QString qPrompt = FromLocal(prompt);
    const QString qDefault = FromLocal(defaultText);
    std::optional<QString> answer;
    if (FInputBox) {
        answer = FInputBox(qCaption, qPrompt, qDefault);
    } else {
        QInputDialog dialog(FOwner);
        dialog.setInputMode(QInputDialog::TextInput);
        dialog.setWindowTitle(qCaption);
        dialog.setLabelText(qPrompt);
        dialog.setTextValue(qDefault);
        if (auto* field = dialog.findChild<QLineEdit*>())
            field->setMaxLength(kInputBoxMaxLength);
        if (dialog.exec() == QDialog::Accepted)
            answer = dialog.textValue();
    }
    if (!answer)
        return defaultText;
    // The field holds no more, whoever fills it.
    return ToLocal(answer->left(kInputBoxMaxLength));
}

void TQtConversionUI::ShowMessage(const std::string& text) {
    QString shown = FromLocal(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString caption = ApplicationTitle();
    if (FMessageBox) {
        FMessageBox(caption, shown);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, shown, QMessageBox::Ok, FOwner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void TQtConversionUI::SetBusyCursor(bool busy) {
    if (busy == FBusy)
        return;
    FBusy = busy;
    if (busy)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::restoreOverrideCursor();
}

void TQtConversionUI::ShowProgress() {
    if (!FProgress)
        return;
    FPaintCount = 0;
    FThrottle.Reset();
    FProgress->show();
    // The window system maps a new window on its own time and Qt paints
    // nothing before it is exposed. The run keeps the loop from running, so
    // wait for that here, briefly and taking no input.
    QDeadlineTimer deadline(500);
    while (FProgress->windowHandle() && !FProgress->windowHandle()->isExposed() &&
           !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
}

void TQtConversionUI::HideProgress() {
    if (!FProgress)
        return;
    // The last state is always shown, however the throttle decided before.
    if (FProgress->isVisible())
        Paint(FProgress);
    FProgress->hide();
}

void TQtConversionUI::SetTotalMax(int max) {
    FTotal.Max = max;
}

void TQtConversionUI::SetTotalPosition(int position) {
    FTotal.Position = position;
}

void TQtConversionUI::RepaintTotal() {
    if (FProgress && FThrottle.Due())
        Paint(FProgress->pbTotal());
}

void TQtConversionUI::SetCurrentMax(int max) {
    FCurrent.Max = max;
}

void TQtConversionUI::SetCurrentPosition(int position) {
    FCurrent.Position = position;
}

void TQtConversionUI::RepaintProgress() {
    if (FProgress && FThrottle.Due())
        Paint(FProgress);
}

void TQtConversionUI::Paint(QWidget* what) {
    TProgressForm::SetBar(FProgress->pbTotal(), FTotal.Max, FTotal.Position);
    TProgressForm::SetBar(FProgress->pbCurrent(), FCurrent.Max, FCurrent.Position);
    what->repaint();
    ++FPaintCount;
}

} // namespace velmora

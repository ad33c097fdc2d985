// The Export run's operations on the screen: the input box, the summary box,
// the hourglass and the progress window.
#pragma once

#include "conversion/ConversionUI.h"
#include "forms/RepaintThrottle.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace velmora {

class TProgressForm;

class TQtConversionUI : public IConversionUI {
public:
    static constexpr int kInputBoxMaxLength = 255;

    // owner: the window the boxes belong to.
    explicit TQtConversionUI(QWidget* owner, TRepaintThrottle throttle = TRepaintThrottle());
    ~TQtConversionUI() override;
    TQtConversionUI(const TQtConversionUI&) = delete;
    TQtConversionUI& operator=(const TQtConversionUI&) = delete;

    void SetProgressForm(TProgressForm* form);
    TProgressForm* ProgressForm() const { return FProgress; }

    // Seams for tests and scripted runs: they answer in place of the modal
    // boxes. The input box gives the typed text, or nothing for Cancel.
    using TInputBox = std::function<std::optional<QString>(
        const QString& caption, const QString& prompt, const QString& defaultText)>;
    using TMessageBox = std::function<void(const QString& caption, const QString& text)>;
    void SetInputBox(TInputBox box) { FInputBox = std::move(box); }
    void SetMessageBox(TMessageBox box) { FMessageBox = std::move(box); }

    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultText) override;
    void ShowMessage(const std::string& text) override;
    void SetBusyCursor(bool busy) override;

    void ShowProgress() override;
    void HideProgress() override;
    void SetTotalMax(int max) override;
    void SetTotalPosition(int position) override;
    void RepaintTotal() override;
    void SetCurrentMax(int max) override;
    void SetCurrentPosition(int position) override;
    void RepaintProgress() override;

    // How many repaints reached the screen since the window was last shown.
    int PaintCount() const { return FPaintCount; }

private:
    struct TBar {
        int Max = 100;
        int Position = 0;
    };
    // Puts the bars' values on the widgets and paints what at once.
    void Paint(QWidget* what);

    QPointer<QWidget> FOwner;
    QPointer<TProgressForm> FProgress;
    TRepaintThrottle FThrottle;
    TInputBox FInputBox;
    TMessageBox FMessageBox;
    bool FBusy = false;
    TBar FTotal;
    TBar FCurrent;
    int FPaintCount = 0;
};

} // namespace velmora

// The progress window of the Export run: two bars, Total over the checklist
// rows and Current file over the messages of one folder. It has no
// behaviour of its own; the run drives it.
#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QProgressBar;

namespace Ui {
class TProgressForm;
}

namespace velmora {

class TProgressForm : public QDialog {
    Q_OBJECT
public:
    // mainWindow: the window it is centred on whenever it is shown.
    explicit TProgressForm(QWidget* mainWindow = nullptr);
    ~TProgressForm() override;

    QProgressBar* pbTotal() const;
    QProgressBar* pbCurrent() const;

    // Sets a bar to 0..max at position. A bar whose range is empty (max 0)
    // is drawn empty: Qt would show a busy indicator instead.
    static void SetBar(QProgressBar* bar, int max, int position);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TProgressForm> ui;
};

} // namespace velmora

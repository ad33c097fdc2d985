// The program's entry: the application object, the main window, the
// progress window, then the message loop until the main window is closed.
#include "forms/Application.h"
#include "forms/Main.h"
#include "forms/frmProgress.h"

#include <QTimer>

#include <memory>

namespace {

// For pictures of the window: with VELMORA_SCREENSHOT set to a file name,
// the window is drawn into that file once start-up is done, and the program
// ends.
void ScheduleScreenshot(velmora::TMainForm& mainForm) {
    const QString path = qEnvironmentVariable("VELMORA_SCREENSHOT");
    if (path.isEmpty())
        return;
    QObject::connect(&mainForm, &velmora::TMainForm::AfterCreate, &mainForm, [&mainForm, path] {
        QTimer::singleShot(300, &mainForm, [&mainForm, path] {
            const bool saved = mainForm.grab().save(path, "PNG");
            QCoreApplication::exit(saved ? 0 : 1);
        });
    });
}

} // namespace

int main(int argc, char** argv) {
    velmora::TApplication Application(argc, argv);
    auto MainForm = std::make_unique<velmora::TMainForm>();
    auto ProgressForm = std::make_unique<velmora::TProgressForm>(MainForm.get());
    MainForm->SetProgressForm(ProgressForm.get());
    ScheduleScreenshot(*MainForm);
    MainForm->show();
    return Application.exec();
}

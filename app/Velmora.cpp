// The program's entry: the application object, the main window, the
// progress window, then the message loop until the main window is closed.
#include "forms/Application.h"
#include "forms/Main.h"
#include "forms/frmProgress.h"

#include <QTimer>

#include <memory>

namespace {

// For tools/screenshot.sh only: VELMORA_SCREENSHOT names a PNG file into
// which the window is drawn once start-up is done; then the program ends.
void ScriptScreenshot(velmora::TMainForm& mainForm) {
    const QString picture = qEnvironmentVariable("VELMORA_SCREENSHOT");
    if (picture.isEmpty())
        return;
    QObject::connect(&mainForm, &velmora::TMainForm::AfterCreate, &mainForm, [&mainForm, picture] {
        QTimer::singleShot(300, &mainForm, [&mainForm, picture] {
            const bool saved = mainForm.grab().save(picture, "PNG");
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
    ScriptScreenshot(*MainForm);
    MainForm->show();
    return Application.exec();
}

// The program's entry: the application object, the main window, the
// progress window, then the message loop until the main window is closed.
#include "forms/Application.h"
#include "forms/Main.h"
#include "forms/ShellTreeView.h"
#include "forms/frmProgress.h"
#include "store/TreeNavigation.h"

#include <QTimer>

#include <memory>

namespace {

// For tools/screenshot.sh only. VELMORA_SELECT_FOLDER opens the tree at a
// folder once start-up is done; VELMORA_SCREENSHOT then draws the window
// into that PNG file and ends the program.
void ScriptStartUp(velmora::TMainForm& mainForm) {
    const QByteArray folder = qgetenv("VELMORA_SELECT_FOLDER");
    const QString picture = qEnvironmentVariable("VELMORA_SCREENSHOT");
    if (folder.isEmpty() && picture.isEmpty())
        return;
    QObject::connect(
        &mainForm, &velmora::TMainForm::AfterCreate, &mainForm, [&mainForm, folder, picture] {
            if (!folder.isEmpty()) {
                velmora::TShellTreeView& tree = *mainForm.tvShell();
                if (tree.ShellNamespace())
                    velmora::SelectFolderByPath(tree, *tree.ShellNamespace(), folder.toStdString());
            }
            if (picture.isEmpty())
                return;
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
    ScriptStartUp(*MainForm);
    MainForm->show();
    return Application.exec();
}

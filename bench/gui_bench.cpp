// Converts a store through the main window on Qt's offscreen platform, with
// the output directory answered by the script instead of the input box, and
// prints the seconds the Export took, to compare with velmora-cli.
// Usage: velmora-gui-bench --store DIR OUTDIR
#include "forms/Application.h"
#include "forms/Main.h"
#include "forms/ShellTreeView.h"
#include "forms/frmProgress.h"
#include "platform/ShellNamespace.h"

#include <QCoreApplication>
#include <QTreeWidget>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4 || std::string(argv[1]) != "--store") {
        std::fprintf(stderr, "usage: velmora-gui-bench --store DIR OUTDIR\n");
        return 2;
    }
    std::error_code error;
    const std::string store = std::filesystem::canonical(argv[2], error).string();
    if (error) {
        std::fprintf(stderr, "velmora-gui-bench: no store folder %s\n", argv[2]);
        return 2;
    }
    // The answer holds a separator, so the run uses it as it stands.
    const std::string output = std::filesystem::absolute(argv[3]).string();

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    velmora::TApplication application(argc, argv);

    // The store is the home folder of the tree: one click away from the desktop.
    velmora::TShellRoots roots;
    roots.Home = store;
    auto mainForm =
        std::make_unique<velmora::TMainForm>(std::make_shared<velmora::TShellNamespace>(roots));
    auto progressForm = std::make_unique<velmora::TProgressForm>(mainForm.get());
    mainForm->SetProgressForm(progressForm.get());
    mainForm->show();
    QCoreApplication::processEvents();

    velmora::TShellTreeView& tree = *mainForm->tvShell();
    for (velmora::IShellTree::TNode node = tree.FirstNode(); node; node = tree.NextNode(node))
        if (tree.NodePath(node) == store) {
            tree.Select(node);
            break;
        }
    if (tree.SelectedPath() != store || mainForm->lvFiles()->topLevelItemCount() == 0) {
        std::fprintf(stderr, "velmora-gui-bench: no mail folders listed in %s\n", store.c_str());
        return 2;
    }

    QString summary;
    QString failure;
    velmora::TQtConversionUI& ui = mainForm->ConversionUI();
    ui.SetInputBox([&](const QString&, const QString&, const QString&) {
        return std::optional<QString>(QString::fromLocal8Bit(output.c_str()));
    });
    ui.SetMessageBox([&](const QString&, const QString& text) { summary = text; });
    velmora::TApplication::SetErrorBox(
        [&](const QString&, const QString& text) { failure = text; });

    const auto started = std::chrono::steady_clock::now();
    mainForm->tbConvert()->trigger();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;

    std::fprintf(stderr, "%s (%d repaints)\n", qPrintable(summary.replace('\n', ' ')),
                 ui.PaintCount());
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "velmora-gui-bench: %s\n", qPrintable(failure));
        return 1;
    }
    std::printf("%.3f\n", elapsed.count());
    return 0;
}

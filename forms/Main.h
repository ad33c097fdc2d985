// The main window: tool bar (Refresh, Export, Homepage), the folder tree, the
// checklist of mail folders and the status bar.
#pragma once

#include "conversion/ConversionRun.h"
#include "conversion/FolderChecklist.h"
#include "forms/QtConversionUI.h"

#include <QIcon>
#include <QMainWindow>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QSplitter;
class QStatusBar;
class QToolBar;
class QTreeWidget;

namespace Ui {
class TMainForm;
}

namespace velmora {

class TProgressForm;
class TShellNamespace;
class TShellTreeView;

inline constexpr const char* kHomePage = "https://velmora.example/";
// The tree's width as designed; the checklist takes the rest.
inline constexpr int kTreeWidth = 229;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // shell: the namespace the tree shows; none means the program's own.
    explicit TMainForm(std::shared_ptr<TShellNamespace> shell = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The progress window the Export run shows; created after this window.
    void SetProgressForm(TProgressForm* form);

    // The handlers. Their bodies may raise; the connections run them inside
    // the application's guard, which shows the error box.
    void FormCreate();
    void WMAfterCreate();
    void tbRefreshClick();
    void tbHomeClick();
    void tbConvertClick();
    void tvShellChange();
    void ApplicationEventsHint(const QString& hint);

    // The checklist rows in display order, with the user's ticks.
    std::vector<TFolderRow> FolderRows() const;

    TShellTreeView* tvShell() const;
    QTreeWidget* lvFiles() const;
    QStatusBar* StatusBar() const;
    QToolBar* ToolBar1() const;
    QSplitter* Splitter1() const;
    QAction* tbRefresh() const;
    QAction* tbConvert() const;
    QAction* tbHome() const;

    TQtConversionUI& ConversionUI() { return FConversionUI; }
    // The run behind Export, with its FIndexFileName and FSavedCount.
    const TConversionRun& ConversionRun() const { return FRun; }

    // How a web address is opened; tests put a recorder in its place.
    using TOpenUrl = std::function<bool(const QUrl&)>;
    void SetOpenUrl(TOpenUrl open) { FOpenUrl = std::move(open); }

signals:
    // WMAfterCreate has done its work.
    void AfterCreate();

protected:
    bool event(QEvent* event) override;

private:
    // The store lookup and the tree's navigation to the store come here.
    void OpenMessageStore();

    std::unique_ptr<Ui::TMainForm> ui;
    TQtConversionUI FConversionUI;
    TConversionRun FRun;
    TOpenUrl FOpenUrl;
    bool FAfterCreateDone = false;
    QString FHint;
    QIcon FEnvelope;
};

} // namespace velmora

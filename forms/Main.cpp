#include "forms/Main.h"

#include "forms/Application.h"
#include "forms/QtText.h"
#include "forms/ShellTreeView.h"
#include "forms/frmProgress.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "platform/ShellNamespace.h"
#include "store/MessageStoreLocator.h"
#include "store/TreeNavigation.h"

#include "ui_MainForm.h"

#include <QDesktopServices>
#include <QHeaderView>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>

namespace velmora {

namespace {

constexpr int kToolBarHeight = 30;
constexpr int kToolButtonWidth = 31;
constexpr int kRowDataRole = Qt::UserRole;

// Freezes the checklist's painting while it is refilled, on every way out.
class TListUpdate {
public:
    explicit TListUpdate(QWidget* list) : FList(list), FWasEnabled(list->updatesEnabled()) {
        FList->setUpdatesEnabled(false);
    }
    ~TListUpdate() { FList->setUpdatesEnabled(FWasEnabled); }
    TListUpdate(const TListUpdate&) = delete;
    TListUpdate& operator=(const TListUpdate&) = delete;

private:
    QWidget* FList;
    bool FWasEnabled;
};

} // namespace

TMainForm::TMainForm(std::shared_ptr<TShellNamespace> shell, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TMainForm>()), FConversionUI(this),
      FRun(FConversionUI), FOpenUrl(&QDesktopServices::openUrl) {
    InitFormResources();
    ui->setupUi(this);

    ui->tbRefresh->setIcon(SvgIcon(QStringLiteral(":/icons/refresh.svg"), 24));
    ui->tbConvert->setIcon(SvgIcon(QStringLiteral(":/icons/export.svg"), 24));
    ui->tbHome->setIcon(SvgIcon(QStringLiteral(":/icons/home.svg"), 24));
    FEnvelope = SvgIcon(QStringLiteral(":/icons/envelope.svg"), 16);

    QToolBar* toolBar = ui->ToolBar1;
    toolBar->setFixedHeight(kToolBarHeight);
    toolBar->toggleViewAction()->setVisible(false);
    int separator = 0;
    for (QAction* action : toolBar->actions()) {
        if (action->isSeparator()) {
            action->setObjectName(QStringLiteral("ToolButton%1").arg(++separator));
            continue;
        }
        if (QWidget* button = toolBar->widgetForAction(action)) {
            button->setObjectName(action->objectName());
            button->setFixedWidth(kToolButtonWidth);
        }
    }

    // The tree keeps its width when the window is resized.
    ui->Splitter1->setStretchFactor(0, 0);
    ui->Splitter1->setStretchFactor(1, 1);
    ui->Splitter1->setSizes({kTreeWidth, width() - kTreeWidth - ui->Splitter1->handleWidth()});
    ui->lvFiles->header()->resizeSection(0, 120);
    ui->lvFiles->header()->setStretchLastSection(true);
    ui->lvFiles->setSelectionMode(QAbstractItemView::SingleSelection);

    const auto guarded = [this](void (TMainForm::*handler)()) {
        return [this, handler] { TApplication::HandleException([&] { (this->*handler)(); }); };
    };
    connect(ui->tbRefresh, &QAction::triggered, this, guarded(&TMainForm::tbRefreshClick));
    connect(ui->tbConvert, &QAction::triggered, this, guarded(&TMainForm::tbConvertClick));
    connect(ui->tbHome, &QAction::triggered, this, guarded(&TMainForm::tbHomeClick));
    connect(ui->tvShell, &TShellTreeView::Change, this, guarded(&TMainForm::tvShellChange));

    // Building the tree selects its root, the desktop, which lists its
    // folder like any selection.
    TApplication::HandleException(
        [&] { ui->tvShell->SetShellNamespace(shell ? std::move(shell) : SHGetDesktopFolder()); });

    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::SetProgressForm(TProgressForm* form) {
    FConversionUI.SetProgressForm(form);
}

TShellTreeView* TMainForm::tvShell() const {
    return ui->tvShell;
}

QTreeWidget* TMainForm::lvFiles() const {
    return ui->lvFiles;
}

QStatusBar* TMainForm::StatusBar() const {
    return ui->StatusBar;
}

QToolBar* TMainForm::ToolBar1() const {
    return ui->ToolBar1;
}

QSplitter* TMainForm::Splitter1() const {
    return ui->Splitter1;
}

QAction* TMainForm::tbRefresh() const {
    return ui->tbRefresh;
}

QAction* TMainForm::tbConvert() const {
    return ui->tbConvert;
}

QAction* TMainForm::tbHome() const {
    return ui->tbHome;
}

void TMainForm::FormCreate() {
    // Runs once the loop runs, which is after the window is on screen.
    QMetaObject::invokeMethod(
        this, [this] { TApplication::HandleException([this] { WMAfterCreate(); }); },
        Qt::QueuedConnection);
}

void TMainForm::WMAfterCreate() {
    if (FAfterCreateDone)
        return;
    FAfterCreateDone = true;
    ProgramRandom().RandomizeFromClock();
    repaint();
    OpenMessageStore();
    emit AfterCreate();
}

void TMainForm::OpenMessageStore() {
    const std::shared_ptr<TShellNamespace>& shell = tvShell()->ShellNamespace();
    // A tree without Wine drives has no Wine registry to read either.
    if (!shell || shell->Roots().WinePrefix.empty())
        return;
    // The registry of the same Wine prefix whose drives the tree shows. A
    // failure to read it reaches the error box; the navigation drops its own.
    TRegIniFile registry(shell->Roots().WinePrefix);
    const std::string storePath = ReadMessageStorePath(registry);
    SelectFolderByPath(*tvShell(), *shell, storePath);
}

void TMainForm::tbRefreshClick() {
    tvShell()->RefreshNode(tvShell()->FirstNode());
}

void TMainForm::tbHomeClick() {
    // Nothing is reported when no program opens web addresses.
    if (FOpenUrl)
        (void)FOpenUrl(QUrl(QString::fromLatin1(kHomePage)));
}

void TMainForm::tbConvertClick() {
    FRun.Execute(FolderRows(), tvShell()->SelectedPath());
}

void TMainForm::tvShellChange() {
    QTreeWidget* list = lvFiles();
    const TListUpdate update(list);
    list->clear();
    const std::vector<TFolderRow> rows = ListMailFolders(tvShell()->SelectedPath());
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const TFolderRow& row : rows) {
        auto* item = new QTreeWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                       Qt::ItemNeverHasChildren);
        item->setText(0, FromLocal(row.Caption));
        item->setText(1, FromLocal(row.IndexFileName));
        // The bytes as the directory search gave them, for the run.
        item->setData(0, kRowDataRole, ToBytes(row.Caption));
        item->setData(1, kRowDataRole, ToBytes(row.IndexFileName));
        item->setIcon(0, FEnvelope);
        item->setCheckState(0, row.Checked ? Qt::Checked : Qt::Unchecked);
        items.append(item);
    }
    list->addTopLevelItems(items);
}

std::vector<TFolderRow> TMainForm::FolderRows() const {
    std::vector<TFolderRow> rows;
    const QTreeWidget* list = lvFiles();
    rows.reserve(static_cast<std::size_t>(list->topLevelItemCount()));
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        TFolderRow row;
        row.Caption = FromBytes(item->data(0, kRowDataRole).toByteArray());
        row.IndexFileName = FromBytes(item->data(1, kRowDataRole).toByteArray());
        row.Checked = item->checkState(0) == Qt::Checked;
        rows.push_back(std::move(row));
    }
    return rows;
}

void TMainForm::ApplicationEventsHint(const QString& hint) {
    if (hint == FHint)
        return;
    FHint = hint;
    StatusBar()->showMessage(hint);
}

bool TMainForm::event(QEvent* event) {
    // The long hint of the control under the pointer, or the empty text.
    if (event->type() == QEvent::StatusTip) {
        ApplicationEventsHint(static_cast<QStatusTipEvent*>(event)->tip());
        event->accept();
        return true;
    }
    return QMainWindow::event(event);
}

} // namespace velmora

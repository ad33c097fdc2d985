// The main window and the progress window as laid out, the hints in the
// status bar, the start-up handler and the Homepage button.
#include "GuiFixture.h"

#include <QAction>
#include <QEnterEvent>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace velmora::testing {
namespace {

// The widget that Tab moves to from this one.
QWidget* NextTabStop(QWidget* from) {
    for (QWidget* next = from->nextInFocusChain(); next && next != from;
         next = next->nextInFocusChain()) {
        if (from->isAncestorOf(next) || !(next->focusPolicy() & Qt::TabFocus))
            continue;
        return next;
    }
    return nullptr;
}

TEST_F(TMainFormTest, MainWindowIsLaidOutAsDesigned) {
    EXPECT_EQ(MainForm->objectName(), "MainForm");
    EXPECT_EQ(MainForm->windowTitle(), "IncrediMail to EML converter");
    // 679 x 470 with the frame: the client area is 671 x 436.
    EXPECT_EQ(MainForm->size(), QSize(671, 436));

    QToolBar* toolBar = MainForm->ToolBar1();
    EXPECT_EQ(toolBar->objectName(), "ToolBar1");
    EXPECT_EQ(toolBar->height(), 30);
    EXPECT_EQ(toolBar->iconSize(), QSize(24, 24));
    EXPECT_FALSE(toolBar->isMovable());

    // Refresh, separator, Export, separator, Homepage.
    const QList<QAction*> actions = toolBar->actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_EQ(actions[0], MainForm->tbRefresh());
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[1]->objectName(), "ToolButton1");
    EXPECT_EQ(actions[2], MainForm->tbConvert());
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_EQ(actions[3]->objectName(), "ToolButton2");
    EXPECT_EQ(actions[4], MainForm->tbHome());
    int previousRight = -1;
    for (QAction* action : actions) {
        QWidget* widget = toolBar->widgetForAction(action);
        ASSERT_NE(widget, nullptr);
        EXPECT_GT(widget->x(), previousRight - 1) << "in order, left to right";
        previousRight = widget->x() + widget->width();
        if (action->isSeparator())
            continue;
        EXPECT_EQ(widget->objectName(), action->objectName());
        EXPECT_EQ(widget->width(), 31);
        EXPECT_LE(widget->height(), 30);
        EXPECT_FALSE(action->icon().isNull());
        EXPECT_EQ(static_cast<QToolButton*>(widget)->toolButtonStyle(), Qt::ToolButtonIconOnly);
    }

    TShellTreeView& tree = Tree();
    EXPECT_EQ(tree.objectName(), "tvShell");
    EXPECT_EQ(tree.width(), kTreeWidth);
    EXPECT_EQ(tree.indentation(), 19);
    EXPECT_FALSE(tree.rootIsDecorated());
    EXPECT_TRUE(tree.isHeaderHidden());
    EXPECT_EQ(MainForm->Splitter1()->objectName(), "Splitter1");
    EXPECT_EQ(MainForm->Splitter1()->handleWidth(), 4);
    EXPECT_EQ(List().x(), kTreeWidth + 4);
    EXPECT_EQ(tree.y(), List().y());

    QTreeWidget& list = List();
    EXPECT_EQ(list.objectName(), "lvFiles");
    ASSERT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.headerItem()->text(0), "Name");
    EXPECT_EQ(list.headerItem()->text(1), "Filename");
    EXPECT_EQ(list.columnWidth(0), 120);
    EXPECT_TRUE(list.header()->stretchLastSection());
    EXPECT_EQ(list.columnWidth(1), list.viewport()->width() - 120);
    EXPECT_EQ(list.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(list.rootIsDecorated());

    EXPECT_EQ(MainForm->StatusBar()->objectName(), "StatusBar");
    EXPECT_EQ(MainForm->statusBar(), MainForm->StatusBar());
    EXPECT_EQ(MainForm->StatusBar()->geometry().bottom(), MainForm->rect().bottom());
    EXPECT_EQ(tree.geometry().bottom() < MainForm->StatusBar()->y(), true);

    EXPECT_EQ(NextTabStop(&tree), &list);
    EXPECT_FALSE(MainForm->windowIcon().isNull());
}

TEST_F(TMainFormTest, ProgressWindowIsLaidOutAsDesignedAndCentredWhenShown) {
    TProgressForm& form = *ProgressForm;
    EXPECT_EQ(form.objectName(), "ProgressForm");
    EXPECT_EQ(form.windowTitle(), "Converting");
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.isModal());
    EXPECT_EQ(form.size(), QSize(273, 105));
    EXPECT_EQ(form.minimumSize(), QSize(273, 105));
    EXPECT_EQ(form.maximumSize(), QSize(273, 105));

    auto* total = form.findChild<QLabel*>("Label2");
    auto* current = form.findChild<QLabel*>("Label1");
    ASSERT_TRUE(total && current);
    EXPECT_EQ(total->text(), "Total");
    EXPECT_EQ(total->pos(), QPoint(16, 8));
    EXPECT_EQ(current->text(), "Current file");
    EXPECT_EQ(current->pos(), QPoint(16, 52));

    ASSERT_EQ(form.findChild<QProgressBar*>("pbTotal"), form.pbTotal());
    ASSERT_EQ(form.findChild<QProgressBar*>("pbCurrent"), form.pbCurrent());
    EXPECT_EQ(form.pbTotal()->geometry(), QRect(16, 24, 245, 17));
    EXPECT_EQ(form.pbCurrent()->geometry(), QRect(16, 68, 245, 17));
    for (QProgressBar* bar : {form.pbTotal(), form.pbCurrent()}) {
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 100);
        EXPECT_EQ(bar->value(), 0);
        EXPECT_FALSE(bar->isTextVisible());
    }

    MainForm->move(40, 30);
    form.show();
    QCoreApplication::processEvents();
    EXPECT_LE(
        (form.frameGeometry().center() - MainForm->frameGeometry().center()).manhattanLength(), 1);
    form.hide();
}

TEST_F(TMainFormTest, ToolTipsAreTheShortHints) {
    const std::pair<QAction*, const char*> buttons[] = {{MainForm->tbRefresh(), "Refresh"},
                                                        {MainForm->tbConvert(), "Export"},
                                                        {MainForm->tbHome(), "Homepage"}};
    for (const auto& [action, tip] : buttons) {
        EXPECT_EQ(action->toolTip(), tip);
        EXPECT_EQ(MainForm->ToolBar1()->widgetForAction(action)->toolTip(), tip);
    }
    EXPECT_TRUE(List().toolTip().isEmpty());
    EXPECT_TRUE(Tree().toolTip().isEmpty());
}

// The pointer enters and leaves controls; the status bar shows the long
// hint of the one it is over.
class TStatusHintTest : public TMainFormTest {
protected:
    void Enter(QWidget* widget) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(widget, &enter);
    }
    void Leave(QWidget* widget) {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &leave);
    }
    QString Shown() { return MainForm->StatusBar()->currentMessage(); }
    QWidget* Button(QAction* action) { return MainForm->ToolBar1()->widgetForAction(action); }
};

TEST_F(TStatusHintTest, LongHintsOverTheButtonsAndTheChecklist) {
    const std::pair<QWidget*, const char*> hints[] = {
        {Button(MainForm->tbRefresh()), "Refresh tree"},
        {Button(MainForm->tbConvert()), "Exported selected files"},
        {Button(MainForm->tbHome()), "Visit homepage"},
        {&List(), "Select the files containing the messages you want to convert"}};
    for (const auto& [widget, hint] : hints) {
        Enter(widget);
        EXPECT_EQ(Shown(), hint) << widget->objectName().toStdString();
        Leave(widget);
        EXPECT_EQ(Shown(), "");
    }
    // Moving within the checklist onto its rows and header keeps its hint.
    Enter(&List());
    Enter(List().viewport());
    Enter(List().header());
    EXPECT_EQ(Shown(), "Select the files containing the messages you want to convert");
    Leave(&List());
}

TEST_F(TStatusHintTest, EmptyOverTheTreeSeparatorsSplitterAndStatusBar) {
    const QList<QAction*> actions = MainForm->ToolBar1()->actions();
    const std::pair<QWidget*, const char*> places[] = {
        {&Tree(), "tree"},
        {Tree().viewport(), "tree rows"},
        {MainForm->ToolBar1()->widgetForAction(actions[1]), "first separator"},
        {MainForm->ToolBar1()->widgetForAction(actions[3]), "second separator"},
        {MainForm->ToolBar1(), "tool bar"},
        {MainForm->Splitter1()->handle(1), "splitter"},
        {MainForm->StatusBar(), "status bar"}};
    for (const auto& [widget, where] : places) {
        ASSERT_NE(widget, nullptr) << where;
        Enter(&List());
        ASSERT_FALSE(Shown().isEmpty());
        Leave(&List());
        Enter(widget);
        EXPECT_EQ(Shown(), "") << where;
        Leave(widget);
    }
}

TEST(TStartUpTest, AfterCreateRunsOnceAfterTheWindowIsShownWithTheProgressWindowHidden) {
    TShellRoots roots;
    support::TTempDir home;
    roots.Home = home.Path();
    auto mainForm = std::make_unique<TMainForm>(std::make_shared<TShellNamespace>(roots));
    int runs = 0;
    bool wasVisible = false;
    bool progressHidden = false;
    std::unique_ptr<TProgressForm> progressForm;
    QObject::connect(mainForm.get(), &TMainForm::AfterCreate, mainForm.get(), [&] {
        ++runs;
        wasVisible = mainForm->isVisible();
        progressHidden = progressForm && !progressForm->isVisible();
    });
    progressForm = std::make_unique<TProgressForm>(mainForm.get());
    mainForm->SetProgressForm(progressForm.get());
    EXPECT_EQ(runs, 0) << "posted, not run while the window is built";
    mainForm->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(wasVisible);
    EXPECT_TRUE(progressHidden);
    mainForm->WMAfterCreate();
    EXPECT_EQ(runs, 1) << "once per program run";
    // Building the tree selected the desktop.
    EXPECT_EQ(mainForm->tvShell()->Selected(), mainForm->tvShell()->FirstNode());
}

TEST_F(TMainFormTest, HomepageOpensTheHomePageAndReportsNothingWhenItCannot) {
    MainForm->tbHome()->trigger();
    ASSERT_EQ(OpenedUrls.size(), 1u);
    EXPECT_EQ(OpenedUrls[0], QUrl(QString::fromLatin1(kHomePage)));
    EXPECT_TRUE(OpenedUrls[0].isValid());

    MainForm->SetOpenUrl([](const QUrl&) { return false; });
    MainForm->tbHome()->trigger();
    EXPECT_TRUE(Boxes.Events.empty());
}

} // namespace
} // namespace velmora::testing

// The application object: its title and the error box for every failure
// that leaves a handler.
#include "forms/Application.h"
#include "platform/Exceptions.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace velmora {
namespace {

struct TTitleCase {
    const char* Path;
    const char* Title;
};

class TApplicationTitleTest : public ::testing::TestWithParam<TTitleCase> {};

TEST_P(TApplicationTitleTest, CutAtTheFirstPeriodAndLowerCaseAfterTheFirstCharacter) {
    EXPECT_EQ(ApplicationTitleFromPath(QString::fromUtf8(GetParam().Path)).toStdString(),
              GetParam().Title);
}

INSTANTIATE_TEST_SUITE_P(Names, TApplicationTitleTest,
                         ::testing::Values(TTitleCase{"CONVERT.EXE", "Convert"},
                                           TTitleCase{"MAIL.TOOL.EXE", "Mail"},
                                           TTitleCase{"/opt/tools/MAIL.TOOL.EXE", "Mail"},
                                           TTitleCase{"/usr/bin/velmora", "velmora"},
                                           TTitleCase{"/usr/bin/Velmora.exe", "Velmora"},
                                           TTitleCase{"/home/a.b/PROG", "Prog"},
                                           TTitleCase{"mIXED", "mixed"},
                                           TTitleCase{"ÉCRIRE.EXE", "Écrire"},
                                           TTitleCase{".hidden", ""}, TTitleCase{"", ""}));

TEST(TApplicationTitleTest, TheRunningProgramsTitleFollowsItsExecutable) {
    EXPECT_EQ(ApplicationTitle(),
              ApplicationTitleFromPath(QCoreApplication::applicationFilePath()));
    EXPECT_EQ(ApplicationTitle().toStdString(), "velmora_gui_tests");
}

class TErrorBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        TApplication::SetErrorBox([this](const QString& caption, const QString& text) {
            Captions.push_back(caption);
            Texts.push_back(text.toStdString());
        });
    }
    void TearDown() override { TApplication::SetErrorBox({}); }
    std::vector<QString> Captions;
    std::vector<std::string> Texts;
};

struct TPeriodCase {
    const char* Message;
    const char* Shown;
};

class TPeriodRuleTest : public TErrorBoxTest, public ::testing::WithParamInterface<TPeriodCase> {};

TEST_P(TPeriodRuleTest, APeriodFollowsALastCharacterAboveIt) {
    TApplication::HandleException([] { throw Exception(GetParam().Message); });
    ASSERT_EQ(Texts.size(), 1u);
    EXPECT_EQ(Texts[0], GetParam().Shown);
    EXPECT_EQ(Captions[0], ApplicationTitle());
}

INSTANTIATE_TEST_SUITE_P(
    Messages, TPeriodRuleTest,
    ::testing::Values(TPeriodCase{"Unsupported file version", "Unsupported file version."},
                      TPeriodCase{"Cannot open file /a/b.imm", "Cannot open file /a/b.imm."},
                      TPeriodCase{"Already ended.", "Already ended."},
                      TPeriodCase{"Disk full (error 28)", "Disk full (error 28)"},
                      TPeriodCase{"Why?", "Why?."}, TPeriodCase{"Code:", "Code:."},
                      TPeriodCase{"Stop!", "Stop!"}, TPeriodCase{"one, two,", "one, two,"},
                      TPeriodCase{"a-", "a-"}, TPeriodCase{"path/", "path/."},
                      TPeriodCase{"Error 7", "Error 7."}, TPeriodCase{"", ""}));

TEST_F(TErrorBoxTest, TheSystemsOwnFailuresUseTheirWording) {
    TApplication::HandleException([] { throw EUnsupportedVersion(); });
    TApplication::HandleException([] { throw std::bad_alloc(); });
    TApplication::HandleException([] { throw 42; });
    EXPECT_EQ(Texts, (std::vector<std::string>{"Unsupported file version.", "Out of memory.",
                                               "Unexpected failure."}));
}

TEST_F(TErrorBoxTest, CleanUpRunsBeforeTheBoxShows) {
    std::vector<std::string> order;
    TApplication::SetErrorBox([&](const QString&, const QString&) { order.push_back("box"); });
    TApplication::HandleException([&] {
        struct TCleanUp {
            std::vector<std::string>& Order;
            ~TCleanUp() { Order.push_back("clean-up"); }
        } cleanUp{order};
        throw Exception("failed");
    });
    EXPECT_EQ(order, (std::vector<std::string>{"clean-up", "box"}));
}

// An object whose event handler fails, outside any guard of its own.
class TFailingObject : public QObject {
public:
    int Handled = 0;
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++Handled;
        throw Exception("Handler failed");
    }
};

TEST_F(TErrorBoxTest, NotifyCatchesWhatEscapesAHandlerAndTheProgramGoesOn) {
    TFailingObject object;
    QEvent first(QEvent::User);
    QCoreApplication::sendEvent(&object, &first);
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(object.Handled, 2);
    EXPECT_EQ(Texts, (std::vector<std::string>{"Handler failed.", "Handler failed."}));
}

TEST(TRealErrorBoxTest, CriticalIconOneOkButtonAndTheTitle) {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            box->accept();
        }
    });
    poll.start(10);
    TApplication::HandleException([] { throw Exception("Unsupported file version"); });
    EXPECT_EQ(caption, ApplicationTitle());
    EXPECT_EQ(text, "Unsupported file version.");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, 1);
}

} // namespace
} // namespace velmora

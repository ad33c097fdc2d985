// Export through the window: the prompt, the progress window, the files, the
// summary box and, after a failure, the error box.
#include "GuiFixture.h"

#include "platform/Exceptions.h"
#include "support/StoreWriter.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>

namespace velmora::testing {
namespace {

std::string Message(int n) {
    return "From: <a@example.org>\r\nSubject: Message " + std::to_string(n) + "\r\n\r\nBody " +
           std::to_string(n) + "\r\n";
}

std::size_t EmlCount(const std::string& folder) {
    if (!std::filesystem::is_directory(folder))
        return 0;
    std::size_t count = 0;
    for (const std::string& name : support::FilesIn(folder))
        count += name.size() > 4 && name.substr(name.size() - 4) == ".eml";
    return count;
}

class TExportTest : public TMainFormTest {
protected:
    // Deleted Items (1 message), Inbox (3), Sent Items (2), in that order.
    void MakeStore() {
        StorePath = Folder("store");
        support::TStoreWriter store(StorePath);
        store.AddMessage("Deleted Items", Message(0));
        for (int i = 1; i <= 3; ++i)
            store.AddMessage("Inbox", Message(i));
        for (int i = 4; i <= 5; ++i)
            store.AddMessage("Sent Items", Message(i));
        store.Write();
    }
    std::string StorePath;
};

TEST_F(TExportTest, ConvertsTheTickedFoldersAndShowsTheSummary) {
    MakeStore();
    SelectFolder(StorePath);
    ASSERT_EQ(Captions(), (std::vector<std::string>{"Deleted Items", "Inbox", "Sent Items"}));
    Answer = "out";
    bool closedBeforeSummary = false;
    MainForm->ConversionUI().SetMessageBox([&](const QString& caption, const QString& text) {
        closedBeforeSummary = !ProgressForm->isVisible() && !QApplication::overrideCursor();
        Boxes.Events.push_back("message: " + text.toStdString());
        Boxes.Captions.push_back(caption);
    });

    MainForm->tbConvert()->trigger();

    const std::string out = StorePath + "/out";
    ASSERT_EQ(Prompts,
              std::vector<QString>{"Select directory name|Select directory name for output files"});
    ASSERT_EQ(Boxes.Events, std::vector<std::string>{"message: 5 messages saved to:\n" + out});
    EXPECT_EQ(Boxes.Captions[0], ApplicationTitle());
    EXPECT_TRUE(closedBeforeSummary);
    EXPECT_FALSE(std::filesystem::exists(out + "/Deleted Items"));
    EXPECT_EQ(EmlCount(out + "/Inbox"), 3u);
    EXPECT_EQ(EmlCount(out + "/Sent Items"), 2u);
    EXPECT_EQ(MainForm->ConversionRun().SavedCount(), 5u);
    EXPECT_EQ(MainForm->ConversionRun().IndexFileName(), StorePath + "/Sent Items.imh");

    // Total over the three rows, at the last ticked one; Current over the
    // last folder's two messages, at the second.
    EXPECT_EQ(ProgressForm->pbTotal()->maximum(), 2);
    EXPECT_EQ(ProgressForm->pbTotal()->value(), 2);
    EXPECT_EQ(ProgressForm->pbCurrent()->maximum(), 1);
    EXPECT_EQ(ProgressForm->pbCurrent()->value(), 1);
    EXPECT_GE(MainForm->ConversionUI().PaintCount(), 2) << "the first and the last state";
    EXPECT_FALSE(ProgressForm->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(TExportTest, TheUsersTicksDecideWhatIsConverted) {
    MakeStore();
    SelectFolder(StorePath);
    SetTick("Deleted Items", true);
    SetTick("Sent Items", false);
    Answer = "picked";

    MainForm->tbConvert()->trigger();

    const std::string out = StorePath + "/picked";
    EXPECT_EQ(Boxes.Events, std::vector<std::string>{"message: 4 messages saved to:\n" + out});
    EXPECT_EQ(EmlCount(out + "/Deleted Items"), 1u);
    EXPECT_EQ(EmlCount(out + "/Inbox"), 3u);
    EXPECT_FALSE(std::filesystem::exists(out + "/Sent Items"));
    EXPECT_EQ(ProgressForm->pbTotal()->value(), 1);
    EXPECT_EQ(ProgressForm->pbCurrent()->maximum(), 2);
    EXPECT_EQ(ProgressForm->pbCurrent()->value(), 2);
}

TEST_F(TExportTest, AFailureShowsTheSummaryAndThenTheErrorBox) {
    StorePath = Folder("store");
    {
        support::TStoreWriter store(StorePath);
        for (int i = 1; i <= 5; ++i)
            store.AddMessage("Inbox", Message(i));
        for (int i = 6; i <= 7; ++i)
            store.AddMessage("Sent Items", Message(i));
        store.AddMessage("Zeta", Message(8));
    }
    std::filesystem::remove(StorePath + "/Sent Items.imm");
    SelectFolder(StorePath);
    Answer = "out";

    MainForm->tbConvert()->trigger();

    const std::string out = StorePath + "/out";
    const std::string missing = StorePath + "/Sent Items.imm";
    ASSERT_EQ(Boxes.Events,
              (std::vector<std::string>{"message: 5 messages saved to:\n" + out,
                                        "error: " + ErrorBoxText(EFOpenError(missing).what())}));
    EXPECT_EQ(Boxes.Events[1].back(), '.');
    EXPECT_EQ(Boxes.Captions[1], ApplicationTitle());
    EXPECT_EQ(EmlCount(out + "/Inbox"), 5u);
    EXPECT_EQ(EmlCount(out + "/Sent Items"), 0u);
    EXPECT_FALSE(std::filesystem::exists(out + "/Zeta")) << "the run ended at the failure";
    EXPECT_FALSE(ProgressForm->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The program goes on: the next Export works.
    std::filesystem::remove(StorePath + "/Sent Items.imh");
    SelectFolder(Home);
    SelectFolder(StorePath);
    Boxes.Events.clear();
    Answer = "again";
    MainForm->tbConvert()->trigger();
    EXPECT_EQ(Boxes.Events,
              std::vector<std::string>{"message: 6 messages saved to:\n" + StorePath + "/again"});
}

TEST_F(TExportTest, CancelAndAnEmptyChecklistDoNothing) {
    const std::string empty = Folder("empty");
    MakeStore();
    SelectFolder(StorePath);
    const auto entries = [&] {
        return std::distance(std::filesystem::recursive_directory_iterator(Home),
                             std::filesystem::recursive_directory_iterator());
    };
    const auto before = entries();
    Answer = std::nullopt;
    MainForm->tbConvert()->trigger();
    EXPECT_EQ(Prompts.size(), 1u);
    EXPECT_TRUE(Boxes.Events.empty());
    EXPECT_EQ(entries(), before) << "nothing was created";

    SelectFolder(empty);
    Answer = "out";
    MainForm->tbConvert()->trigger();
    EXPECT_EQ(Prompts.size(), 1u) << "not asked";
    EXPECT_TRUE(Boxes.Events.empty());
    EXPECT_FALSE(std::filesystem::exists(Home + "/empty/out"));
}

TEST_F(TExportTest, TheAnswerHoldsAtMost255Characters) {
    MakeStore();
    SelectFolder(StorePath);
    Answer = QString(300, QLatin1Char('a'));
    MainForm->tbConvert()->trigger();
    const std::string out = StorePath + "/" + std::string(255, 'a');
    EXPECT_EQ(Boxes.Events, std::vector<std::string>{"message: 5 messages saved to:\n" + out});
    EXPECT_EQ(EmlCount(out + "/Inbox"), 3u);
}

// Answers the modal boxes the way a user would, one after the other.
class TModalAnswerer {
public:
    using THandler = std::function<void(QWidget*)>;
    explicit TModalAnswerer(std::vector<THandler> handlers) : FHandlers(std::move(handlers)) {
        QObject::connect(&FTimer, &QTimer::timeout, [this] { Poll(); });
        FTimer.start(10);
    }
    std::size_t Answered() const { return FNext; }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == FLast)
            return;
        FLast = modal;
        if (FNext < FHandlers.size())
            FHandlers[FNext++](modal);
        else
            modal->close();
    }
    std::vector<THandler> FHandlers;
    std::size_t FNext = 0;
    QWidget* FLast = nullptr;
    QTimer FTimer;
};

TEST_F(TExportTest, TheRealInputBoxAndSummaryBox) {
    MakeStore();
    SelectFolder(StorePath);
    MainForm->ConversionUI().SetInputBox({});
    MainForm->ConversionUI().SetMessageBox({});
    QString summary;
    int summaryButtons = 0;
    QMessageBox::Icon summaryIcon = QMessageBox::Critical;
    TModalAnswerer answerer({[&](QWidget* modal) {
                                 auto* dialog = qobject_cast<QInputDialog*>(modal);
                                 ASSERT_NE(dialog, nullptr);
                                 EXPECT_EQ(dialog->windowTitle(), "Select directory name");
                                 EXPECT_EQ(dialog->labelText(),
                                           "Select directory name for output files");
                                 EXPECT_EQ(dialog->textValue(), "");
                                 auto* field = dialog->findChild<QLineEdit*>();
                                 ASSERT_NE(field, nullptr);
                                 EXPECT_EQ(field->maxLength(), 255);
                                 dialog->setTextValue("typed");
                                 dialog->accept();
                             },
                             [&](QWidget* modal) {
                                 auto* box = qobject_cast<QMessageBox*>(modal);
                                 ASSERT_NE(box, nullptr);
                                 summary = box->text();
                                 summaryIcon = box->icon();
                                 summaryButtons = static_cast<int>(box->buttons().size());
                                 box->accept();
                             }});
    MainForm->tbConvert()->trigger();
    EXPECT_EQ(answerer.Answered(), 2u);
    EXPECT_EQ(summary.toStdString(), "5 messages saved to:\n" + StorePath + "/typed");
    EXPECT_EQ(summaryIcon, QMessageBox::NoIcon);
    EXPECT_EQ(summaryButtons, 1);
    EXPECT_EQ(EmlCount(StorePath + "/typed/Inbox"), 3u);
}

TEST_F(TExportTest, CancelInTheRealInputBoxGivesTheDefaultText) {
    MakeStore();
    SelectFolder(StorePath);
    MainForm->ConversionUI().SetInputBox({});
    TModalAnswerer answerer({[&](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setTextValue("typed but cancelled");
        dialog->reject();
    }});
    MainForm->tbConvert()->trigger();
    EXPECT_EQ(answerer.Answered(), 1u);
    EXPECT_TRUE(Boxes.Events.empty());
    EXPECT_FALSE(std::filesystem::exists(StorePath + "/typed but cancelled"));
}

} // namespace
} // namespace velmora::testing

#include "conversion/ConversionRun.h"

#include "conversion/IndexReader.h"
#include "conversion/LineList.h"
#include "conversion/LinePass.h"
#include "conversion/MessageDate.h"
#include "conversion/OutputName.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"
#include "platform/Paths.h"

#include <exception>

namespace velmora {

namespace {

// Names drawn in one clock reading before the clock is read again, and in
// all before giving up on a folder where no name can be created.
constexpr int kDrawsPerClockReading = 1000;
constexpr int kMaxDraws = 100000;

} // namespace

TConversionRun::TConversionRun(IConversionUI& ui, TRandomGenerator& random, TClock clock)
    : FUI(ui), FRandom(random), FClock(std::move(clock)) {}

std::string TConversionRun::SummaryText(std::uint32_t savedCount,
                                        const std::string& outputDirectory) {
    return std::to_string(savedCount) + " messages saved to:\r\n" + outputDirectory;
}

std::string TConversionRun::ResolveOutputDirectory(const std::string& answer,
                                                   const std::string& selectedFolder) {
    return HasPathDelimiter(answer) ? answer : JoinPath(selectedFolder, answer);
}

void TConversionRun::Execute(const std::vector<TFolderRow>& rows,
                             const std::string& selectedFolder) {
    if (rows.empty())
        return;
    FSavedCount = 0;
    const std::string answer = FUI.InputBox(kOutputPromptCaption, kOutputPromptText, "");
    if (answer.empty())
        return;
    FOutputDirectory = answer;
    const auto closing = [this] {
        FUI.SetBusyCursor(false);
        FUI.HideProgress();
        FUI.ShowMessage(SummaryText(FSavedCount, FOutputDirectory));
    };
    try {
        Work(rows, answer, selectedFolder);
    } catch (...) {
        closing();
        throw;
    }
    closing();
}

void TConversionRun::Work(const std::vector<TFolderRow>& rows, const std::string& answer,
                          const std::string& selectedFolder) {
    FUI.ShowProgress();
    FUI.SetTotalMax(static_cast<int>(rows.size()) - 1);
    FUI.SetBusyCursor(true);
    FOutputDirectory = ResolveOutputDirectory(answer, selectedFolder);
    if (!DirectoryExists(FOutputDirectory))
        CreateDir(FOutputDirectory);
    const std::size_t count = rows.size();
    for (std::size_t i = 0; i < count; ++i) {
        const TFolderRow& row = rows[i];
        if (!row.Checked)
            continue;
        FUI.SetTotalPosition(static_cast<int>(i));
        FUI.RepaintTotal();
        const std::string subdirectory = JoinPath(FOutputDirectory, row.Caption);
        if (!DirectoryExists(subdirectory))
            CreateDir(subdirectory);
        FIndexFileName = row.IndexFileName;
        FCurrentFolder = row.Caption;
        FUI.FolderStarted(row);
        ConvertFolder(FIndexFileName, subdirectory);
    }
}

void TConversionRun::ConvertFolder(const std::string& IndexPath, const std::string& OutDir) {
    const std::vector<TIMMessage> records = ReadIndexFile(IndexPath);
    if (records.empty())
        return;
    FUI.SetCurrentMax(static_cast<int>(records.size()) - 1);
    const std::string dataPath = ChangeFileExt(IndexPath, ".imm");
    const std::size_t count = records.size();
    for (std::size_t i = 0; i < count; ++i) {
        TMessageOutcome outcome;
        outcome.Folder = FCurrentFolder;
        outcome.Record = i;
        outcome.Offset = records[i].FOffset;
        outcome.Length = records[i].FLength;
        TLineList lines;
        try {
            const TFileStream data = TFileStream::OpenRead(dataPath);
            FUI.SetCurrentPosition(static_cast<int>(i));
            FUI.RepaintProgress();
            ExtractMessage(data, lines, records[i].FOffset, records[i].FLength);
            outcome.OutputPath = SaveMessage(lines, OutDir);
            ++FSavedCount;
        } catch (const std::exception& failure) {
            outcome.Error = ErrorBoxText(failure);
            if (!FUI.MessageFailed(outcome))
                throw;
            continue;
        }
        // Outside the guard: a failing observer is not a failed message.
        outcome.BytesWritten = lines.SavedSize();
        outcome.Lines = &lines;
        FUI.MessageSaved(outcome);
    }
}

void TConversionRun::ExtractMessage(const TFileStream& Stream, TLineList& Lines,
                                    std::int32_t Offset, std::int32_t Length) {
    Lines.SetText(Stream.ReadBlock(Offset, Length));
    RunLinePass(Lines, FIndexFileName);
}

std::string TConversionRun::SaveMessage(const TLineList& Lines, const std::string& OutDir) {
    TDateTime when = FClock();
    for (int draw = 1;; ++draw) {
        const std::string path = JoinPath(OutDir, OutputFileName(when, FRandom.Random(1000)));
        std::optional<TNewFile> file = TNewFile::CreateNew(path);
        if (file) {
            Lines.SaveTo(*file);
            if (const auto date = FindMessageDate(Lines))
                file->SetModificationTime(*date);
            file->Commit();
            return path;
        }
        if (draw == kMaxDraws)
            throw EFCreateError(path);
        if (draw % kDrawsPerClockReading == 0)
            when = FClock();
    }
}

} // namespace velmora

#include "cli/TerminalUI.h"

#include "cli/JsonText.h"
#include "cli/Sha256.h"
#include "conversion/LineList.h"
#include "platform/FileStream.h"

#include <iostream>

namespace velmora::cli {

namespace {

constexpr std::size_t kReportBufferSize = 64 * 1024;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

std::string Sha256Of(const TLineList& lines) {
    TSha256 hash;
    for (const std::string_view piece : lines.SavedPieces())
        hash.Update(piece);
    return hash.HexDigest();
}

} // namespace

TTerminalUI::TTerminalUI(std::string outputDirectory, bool keepGoing, bool showProgress,
                         std::unique_ptr<TNewFile> report)
    : FOutputDirectory(std::move(outputDirectory)), FKeepGoing(keepGoing),
      FShowProgress(showProgress), FReport(std::move(report)),
      FStarted(std::chrono::steady_clock::now()) {}

TTerminalUI::~TTerminalUI() = default;

std::string TTerminalUI::InputBox(const std::string&, const std::string&, const std::string&) {
    return FOutputDirectory;
}

void TTerminalUI::ShowMessage(const std::string& text) {
    ClearProgress();
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            plain += '\n';
            ++i;
        } else {
            plain += text[i];
        }
    }
    std::cout << plain << '\n' << std::flush;
}

void TTerminalUI::HideProgress() {
    ClearProgress();
}

void TTerminalUI::SetCurrentMax(int max) {
    FFolderMessages = max + 1;
}

void TTerminalUI::SetCurrentPosition(int position) {
    FFolderDone = position;
}

void TTerminalUI::RepaintProgress() {
    DrawProgress(false);
}

void TTerminalUI::FolderStarted(const TFolderRow& row) {
    FFolder = row.Caption;
    FFolderMessages = 0;
    FFolderDone = 0;
}

void TTerminalUI::MessageSaved(const TMessageOutcome& outcome) {
    ++FRunDone;
    FFolderDone = static_cast<int>(outcome.Record) + 1;
    if (FReport)
        Report(outcome);
}

bool TTerminalUI::MessageFailed(const TMessageOutcome& outcome) {
    if (FReport)
        Report(outcome);
    if (!FKeepGoing)
        return false;
    ++FFailed;
    ClearProgress();
    std::cerr << "velmora-cli: " << outcome.Folder << ", record " << outcome.Record << ": "
              << outcome.Error << '\n';
    return true;
}

void TTerminalUI::Report(const TMessageOutcome& outcome) {
    std::string& line = FReportBuffer;
    line += "{\"folder\":" + JsonString(outcome.Folder);
    line += ",\"record\":" + std::to_string(outcome.Record);
    line += ",\"offset\":" + std::to_string(outcome.Offset);
    line += ",\"length\":" + std::to_string(outcome.Length);
    const bool saved = outcome.Error.empty() && outcome.Lines != nullptr;
    line += ",\"output\":" + (saved ? JsonString(outcome.OutputPath) : std::string("null"));
    line += ",\"bytes\":" + std::to_string(saved ? outcome.BytesWritten : 0);
    line += ",\"sha256\":" + (saved ? JsonString(Sha256Of(*outcome.Lines)) : std::string("null"));
    line += ",\"error\":" + (saved ? std::string("null") : JsonString(outcome.Error));
    line += "}\n";
    if (FReportBuffer.size() >= kReportBufferSize) {
        FReport->Write(FReportBuffer);
        FReportBuffer.clear();
    }
}

void TTerminalUI::FinishReport() {
    if (!FReport)
        return;
    FReport->Write(FReportBuffer);
    FReportBuffer.clear();
    FReport->Commit();
    FReport.reset();
}

void TTerminalUI::DrawProgress(bool force) {
    if (!FShowProgress)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && FDrawn && now - FLastDrawn < kRedrawInterval)
        return;
    FLastDrawn = now;
    FDrawn = true;
    const double seconds = std::chrono::duration<double>(now - FStarted).count();
    const double rate = seconds > 0 ? static_cast<double>(FRunDone) / seconds : 0.0;
    constexpr int kBarWidth = 24;
    const int filled = FFolderMessages > 0 ? kBarWidth * FFolderDone / FFolderMessages : 0;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
    char line[256];
    std::snprintf(line, sizeof line, "\r\033[K%.40s [%s] %d/%d  %.0f msg/s", FFolder.c_str(),
                  bar.c_str(), FFolderDone, FFolderMessages, rate);
    std::cerr << line << std::flush;
}

void TTerminalUI::ClearProgress() {
    if (FShowProgress && FDrawn) {
        std::cerr << "\r\033[K" << std::flush;
        FDrawn = false;
    }
}

} // namespace velmora::cli

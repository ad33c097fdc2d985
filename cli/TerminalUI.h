// The conversion run's operations on a terminal: the answer to the prompt is
// the output directory from the command line, progress goes to stderr when
// it is a terminal, the summary to stdout.
#pragma once

#include "conversion/ConversionUI.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace velmora {
class TNewFile;
}

namespace velmora::cli {

class TTerminalUI : public IConversionUI {
public:
    TTerminalUI(std::string outputDirectory, bool keepGoing, bool showProgress,
                std::unique_ptr<TNewFile> report);
    ~TTerminalUI() override;

    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultText) override;
    void ShowMessage(const std::string& text) override;
    void SetBusyCursor(bool) override {}
    void ShowProgress() override {}
    void HideProgress() override;
    void SetTotalMax(int) override {}
    void SetTotalPosition(int) override {}
    void RepaintTotal() override {}
    void SetCurrentMax(int max) override;
    void SetCurrentPosition(int position) override;
    void RepaintProgress() override;

    void FolderStarted(const TFolderRow& row) override;
    void MessageSaved(const TMessageOutcome& outcome) override;
    bool MessageFailed(const TMessageOutcome& outcome) override;

    std::uint64_t FailedCount() const { return FFailed; }
    // Writes what is buffered of the report; raises when it cannot.
    void FinishReport();

private:
    void Report(const TMessageOutcome& outcome);
    void DrawProgress(bool force);
    void ClearProgress();

    std::string FOutputDirectory;
    bool FKeepGoing;
    bool FShowProgress;
    std::unique_ptr<TNewFile> FReport;
    std::string FReportBuffer;
    std::uint64_t FFailed = 0;

    std::string FFolder;
    int FFolderMessages = 0;
    int FFolderDone = 0;
    std::uint64_t FRunDone = 0;
    std::chrono::steady_clock::time_point FStarted;
    std::chrono::steady_clock::time_point FLastDrawn;
    bool FDrawn = false;
};

} // namespace velmora::cli

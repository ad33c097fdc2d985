#include "cli/CliRun.h"

#include "cli/CliOptions.h"
#include "cli/TerminalUI.h"
#include "conversion/ConversionRun.h"
#include "conversion/FolderChecklist.h"
#include "conversion/IndexReader.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"
#include "platform/Paths.h"
#include "store/MessageStoreLocator.h"

#include <algorithm>
#include <iostream>
#include <set>
#include <unistd.h>

namespace velmora::cli {

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

std::string TrimTrailingDelimiters(std::string path) {
    while (path.size() > 1 && IsPathDelimiter(path.back()))
        path.pop_back();
    return path;
}

void ListFolders(const std::vector<TFolderRow>& rows) {
    for (const TFolderRow& row : rows) {
        std::string count;
        try {
            count = std::to_string(ReadIndexFile(row.IndexFileName).size());
        } catch (const std::exception& failure) {
            count = "? (" + ErrorBoxText(failure) + ")";
        }
        std::cout << (row.Checked ? "[x] " : "[ ] ") << row.Caption << '\t' << count << '\t'
                  << row.IndexFileName << '\n';
    }
}

void ApplyFolderChoice(const TCliOptions& options, std::vector<TFolderRow>& rows) {
    if (options.All) {
        for (TFolderRow& row : rows)
            row.Checked = true;
        return;
    }
    if (options.Folders.empty())
        return;
    const std::set<std::string> wanted(options.Folders.begin(), options.Folders.end());
    for (const std::string& name : wanted)
        if (std::none_of(rows.begin(), rows.end(),
                         [&](const TFolderRow& row) { return row.Caption == name; }))
            throw TUsageError("no mail folder named \"" + name + "\" in the store");
    for (TFolderRow& row : rows)
        row.Checked = wanted.count(row.Caption) != 0;
}

int Convert(const TCliOptions& options, std::vector<TFolderRow> rows) {
    ApplyFolderChoice(options, rows);
    const std::string outputDirectory = TrimTrailingDelimiters(AbsolutePath(options.OutputDir));
    ForceDirectories(outputDirectory);
    std::unique_ptr<TNewFile> report;
    if (options.Report)
        report = std::make_unique<TNewFile>(TNewFile::CreateOrReplace(*options.Report));
    TTerminalUI ui(outputDirectory, options.KeepGoing, ::isatty(STDERR_FILENO) == 1,
                   std::move(report));
    if (rows.empty()) {
        ui.ShowMessage(TConversionRun::SummaryText(0, outputDirectory));
        return 0;
    }
    TConversionRun run(ui);
    ProgramRandom().RandomizeFromClock();
    try {
        run.Execute(rows, outputDirectory);
    } catch (...) {
        try {
            ui.FinishReport();
        } catch (const std::exception& failure) {
            std::cerr << "velmora-cli: " << ErrorBoxText(failure) << '\n';
        }
        throw;
    }
    ui.FinishReport();
    if (ui.FailedCount() > 0) {
        std::cerr << "velmora-cli: " << ui.FailedCount() << " messages failed\n";
        return kExitFailed;
    }
    return 0;
}

} // namespace

// The store the registry of the user's Wine prefix names, as the window
// opens it.
std::string DefaultStoreFolder() {
    return LocalStorePath(GetMessageStorePath());
}

int RunCommandLine(const std::vector<std::string>& args) {
    TCliOptions options;
    std::string store;
    try {
        options = ParseCommandLine(args);
        if (options.Help) {
            std::cout << UsageText();
            return 0;
        }
        store = TrimTrailingDelimiters(options.Store ? *options.Store : DefaultStoreFolder());
        if (!DirectoryExists(store)) {
            std::cerr << "velmora-cli: no store folder at " << store << '\n';
            return kExitUsage;
        }
        const std::vector<TFolderRow> rows = ListMailFolders(store);
        if (options.List) {
            ListFolders(rows);
            return 0;
        }
        return Convert(options, rows);
    } catch (const TUsageError& usage) {
        std::cerr << "velmora-cli: " << usage.what() << "\n\n" << UsageText();
        return kExitUsage;
    } catch (const std::exception& failure) {
        std::cerr << "velmora-cli: " << ErrorBoxText(failure) << '\n';
        return kExitFailed;
    }
}

} // namespace velmora::cli

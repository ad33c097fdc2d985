// The Export run: for every ticked row of the checklist, every message of the
// folder's index becomes one ".eml" file in a subdirectory named after the
// folder. Toolkit-free; the window and the command line drive it through
// IConversionUI.
#pragma once

#include "conversion/ConversionUI.h"
#include "conversion/FolderChecklist.h"
#include "platform/DateTime.h"
#include "platform/Random.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

class TFileStream;
class TLineList;

inline constexpr const char* kOutputPromptCaption = "Select directory name";
inline constexpr const char* kOutputPromptText = "Select directory name for output files";

class TConversionRun {
public:
    explicit TConversionRun(IConversionUI& ui, TRandomGenerator& random = ProgramRandom(),
                            TClock clock = LocalNow);

    // The whole run behind the Export button. Rows are the checklist in
    // display order; selectedFolder is the tree's selected folder path. A
    // failure that ends the run passes on after the summary has been shown.
    void Execute(const std::vector<TFolderRow>& rows, const std::string& selectedFolder);

    // One folder: IndexPath is its index file, OutDir its output subdirectory.
    void ConvertFolder(const std::string& IndexPath, const std::string& OutDir);

    // Reads one message block into Lines and runs the line pass over it.
    void ExtractMessage(const TFileStream& Stream, TLineList& Lines, std::int32_t Offset,
                        std::int32_t Length);

    const std::string& IndexFileName() const { return FIndexFileName; }
    std::uint32_t SavedCount() const { return FSavedCount; }
    // The output directory as the last run resolved it.
    const std::string& OutputDirectory() const { return FOutputDirectory; }

    static std::string SummaryText(std::uint32_t savedCount, const std::string& outputDirectory);
    // The typed answer is used as it stands when it holds a path separator;
    // otherwise it is a folder inside the selected one.
    static std::string ResolveOutputDirectory(const std::string& answer,
                                              const std::string& selectedFolder);

private:
    void Work(const std::vector<TFolderRow>& rows, const std::string& answer,
              const std::string& selectedFolder);
    // Saves under a fresh name in OutDir; gives the path written.
    std::string SaveMessage(const TLineList& Lines, const std::string& OutDir);

    IConversionUI& FUI;
    TRandomGenerator& FRandom;
    TClock FClock;
    std::string FIndexFileName;
    std::uint32_t FSavedCount = 0;
    std::string FOutputDirectory;
    std::string FCurrentFolder;
};

} // namespace velmora

// What a conversion run needs from whoever drives it: the window, the
// command line or a test.
#pragma once

#include "conversion/FolderChecklist.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class TLineList;

// What became of one index record.
struct TMessageOutcome {
    std::string Folder;     // the row's caption
    std::size_t Record = 0; // index of the record in its index file, from 0
    std::int32_t Offset = 0;
    std::int32_t Length = 0;
    std::string OutputPath; // empty when nothing was saved
    std::uint64_t BytesWritten = 0;
    const TLineList* Lines = nullptr; // what was saved; only during the call
    std::string Error;                // empty when saved
};

class IConversionUI {
public:
    virtual ~IConversionUI() = default;

    // Modal prompt; the default text on Cancel.
    virtual std::string InputBox(const std::string& caption, const std::string& prompt,
                                 const std::string& defaultText) = 0;
    // Modal box with the text (CR LF starts a new line) and one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    virtual void SetBusyCursor(bool busy) = 0;

    virtual void ShowProgress() = 0;
    virtual void HideProgress() = 0;
    // pbTotal: rows of the checklist; its repaint follows every new position.
    virtual void SetTotalMax(int max) = 0;
    virtual void SetTotalPosition(int position) = 0;
    virtual void RepaintTotal() = 0;
    // pbCurrent: records of the folder; the whole window is repainted before
    // each message.
    virtual void SetCurrentMax(int max) = 0;
    virtual void SetCurrentPosition(int position) = 0;
    virtual void RepaintProgress() = 0;

    // Observers for drivers that report more than the window shows.
    virtual void FolderStarted(const TFolderRow& /*row*/) {}
    virtual void MessageSaved(const TMessageOutcome& /*outcome*/) {}
    // A message failed; true skips it and goes on, false ends the run.
    virtual bool MessageFailed(const TMessageOutcome& /*outcome*/) { return false; }
};

} // namespace velmora

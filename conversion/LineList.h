// One message as a list of lines.
//
// Split rule: the text ends at its first NUL; CR LF, a lone CR and a lone LF
// each end a line; a final line break yields no empty line after it.
// Save rule: every line's bytes followed by CR LF, nothing else.
//
// The lines refer into the message text instead of copying it; a replaced
// line owns its new content.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class TNewFile;

class TLineList {
public:
    // Replaces all lines by the lines of text (split rule).
    void SetText(std::string text);
    void Clear();

    std::size_t Count() const { return FLines.size(); }
    std::string_view operator[](std::size_t index) const { return FLines[index]; }
    // The whole content becomes the one line at index, line breaks and all.
    void Replace(std::size_t index, std::string content);

    // The bytes the save rule writes, as pieces in order: long runs of the
    // original text that already end in CR LF stay one piece.
    std::vector<std::string_view> SavedPieces() const;
    std::uint64_t SavedSize() const;
    // The saved bytes as one string (for tests and small uses).
    std::string SavedText() const;
    // Writes the save rule's bytes into an open file.
    void SaveTo(TNewFile& file) const;

private:
    bool IsOriginal(std::string_view line) const;
    std::string FText;
    std::vector<std::string_view> FLines;
    std::deque<std::string> FReplacements;
};

} // namespace velmora

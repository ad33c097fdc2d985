#include "conversion/LineList.h"

#include "platform/FileStream.h"

#include <cstring>
#include <functional>

namespace velmora {

namespace {

constexpr std::string_view kCrLf = "\r\n";

} // namespace

void TLineList::Clear() {
    FLines.clear();
    FReplacements.clear();
    FText.clear();
}

void TLineList::SetText(std::string text) {
    Clear();
    FText = std::move(text);
    const char* p = FText.data();
    const char* nul = static_cast<const char*>(std::memchr(p, '\0', FText.size()));
    const char* end = nul != nullptr ? nul : p + FText.size();
    while (p < end) {
        const auto* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (lf == nullptr)
            lf = end;
        const auto* cr = static_cast<const char*>(std::memchr(p, '\r', lf - p));
        const char* brk = cr != nullptr ? cr : lf;
        FLines.emplace_back(p, static_cast<std::size_t>(brk - p));
        p = brk;
        if (p < end && *p == '\r')
            ++p;
        if (p < end && *p == '\n')
            ++p;
    }
}

void TLineList::Replace(std::size_t index, std::string content) {
    FReplacements.push_back(std::move(content));
    FLines[index] = FReplacements.back();
}

bool TLineList::IsOriginal(std::string_view line) const {
    const std::less_equal<const char*> le;
    return le(FText.data(), line.data()) &&
           le(line.data() + line.size(), FText.data() + FText.size());
}

std::vector<std::string_view> TLineList::SavedPieces() const {
    std::vector<std::string_view> pieces;
    const char* runStart = nullptr;
    const char* runEnd = nullptr;
    const auto closeRun = [&] {
        if (runStart != nullptr)
            pieces.emplace_back(runStart, static_cast<std::size_t>(runEnd - runStart));
        runStart = runEnd = nullptr;
    };
    const char* textEnd = FText.data() + FText.size();
    for (const std::string_view line : FLines) {
        const char* lineEnd = line.data() + line.size();
        if (IsOriginal(line)) {
            if (runStart != nullptr && line.data() != runEnd)
                closeRun();
            if (runStart == nullptr)
                runStart = line.data();
            if (textEnd - lineEnd >= 2 && lineEnd[0] == '\r' && lineEnd[1] == '\n') {
                runEnd = lineEnd + 2; // the original break is already CR LF
                continue;
            }
            runEnd = lineEnd;
            closeRun();
        } else {
            closeRun();
            pieces.push_back(line);
        }
        pieces.push_back(kCrLf);
    }
    closeRun();
    return pieces;
}

std::uint64_t TLineList::SavedSize() const {
    std::uint64_t size = 0;
    for (const std::string_view line : FLines)
        size += line.size() + kCrLf.size();
    return size;
}

std::string TLineList::SavedText() const {
    std::string text;
    text.reserve(static_cast<std::size_t>(SavedSize()));
    for (const std::string_view piece : SavedPieces())
        text += piece;
    return text;
}

void TLineList::SaveTo(TNewFile& file) const {
    file.WriteGather(SavedPieces());
}

} // namespace velmora

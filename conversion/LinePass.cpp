#include "conversion/LinePass.h"

#include "conversion/BASE64Sup.h"
#include "conversion/LineList.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"
#include "platform/Paths.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace velmora {

namespace {

constexpr std::string_view kAttachmentsFolder = "Attachments";

bool Contains(std::string_view line, std::string_view text) {
    return line.size() >= text.size() && line.find(text) != std::string_view::npos;
}

// "base64" anywhere in the line, the letters A-Z taken as a-z.
bool DeclaresBase64(std::string_view encodingLine) {
    constexpr std::string_view kBase64 = "base64";
    for (std::size_t at = 0; at + kBase64.size() <= encodingLine.size(); ++at) {
        std::size_t k = 0;
        while (k < kBase64.size() && LowerAscii(encodingLine[at + k]) == kBase64[k])
            ++k;
        if (k == kBase64.size())
            return true;
    }
    return false;
}

bool IsStoreSeparator(char c) {
    return c == '\\' || c == '/';
}

} // namespace

bool IsAttachmentNameInside(std::string_view name) {
    if (name.find(':') != std::string_view::npos)
        return false;
    if (!name.empty() && IsStoreSeparator(name.front()))
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsStoreSeparator(name[end]))
            ++end;
        if (name.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

std::string AttachmentPath(const std::string& IndexFileName, std::string_view line) {
    std::string path = ExtractFilePath(IndexFileName);
    path += kAttachmentsFolder;
    path += kPathDelim;
    const std::size_t nameStart = path.size();
    if (line.size() > kAttachmentMarker.size())
        path += line.substr(kAttachmentMarker.size());
    for (std::size_t i = nameStart; i < path.size(); ++i)
        if (path[i] == '\\')
            path[i] = kPathDelim;
    return path;
}

void EmbedAttachment(TLineList& Lines, std::size_t Index, const std::string& Path, bool IsBase64) {
    if (!FileExists(Path))
        return;
    // A pipe or a device is no attachment file: opening a pipe would wait
    // for a writer for ever, so it fails like a file that cannot be opened.
    std::error_code unknown;
    if (!std::filesystem::is_regular_file(ResolvePath(Path), unknown))
        throw EFOpenError(Path);
    std::string content = TFileStream::OpenRead(Path).ReadAll();
    if (!IsBase64) {
        Lines.Replace(Index, std::move(content));
        return;
    }
    Base64Init();
    std::string text = Base64Encode(content);
    // Only the content or its text and the text are held at once: the
    // content goes before the line list takes the text.
    std::string().swap(content);
    Lines.Replace(Index, std::move(text));
}

void RunLinePass(TLineList& Lines, const std::string& IndexFileName) {
    const std::size_t n = Lines.Count();
    // Most messages have no attachment: one look for the marker in each line
    // and the pass is done.
    std::size_t first = 0;
    while (first < n && !Contains(Lines[first], kAttachmentMarker))
        ++first;
    if (first == n)
        return;
    // The encoding line in force at the first placeholder is the last one
    // before it.
    bool base64 = false;
    for (std::size_t i = first; i-- > 0;) {
        if (Contains(Lines[i], kEncodingHeader)) {
            base64 = DeclaresBase64(Lines[i]);
            break;
        }
    }
    // From here every line is tested for both, the header first. A line is
    // tested before it is replaced and never after, so embedded content is
    // never taken for a header or a placeholder.
    for (std::size_t i = first; i < n; ++i) {
        const std::string_view line = Lines[i];
        if (Contains(line, kEncodingHeader))
            base64 = DeclaresBase64(line);
        if (!Contains(line, kAttachmentMarker))
            continue;
        const std::string_view name = line.size() > kAttachmentMarker.size()
                                          ? line.substr(kAttachmentMarker.size())
                                          : std::string_view();
        if (!IsAttachmentNameInside(name))
            continue;
        EmbedAttachment(Lines, i, AttachmentPath(IndexFileName, line), base64);
    }
}

} // namespace velmora

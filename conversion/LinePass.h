// The pass over a message's lines between extraction and save: placeholder
// lines are replaced by their attachment files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

class TLineList;

// A placeholder line holds this marker; the attachment's name runs from the
// line's 35th character to its end.
inline constexpr std::string_view kAttachmentMarker = "----------[%ImFilePath%]----------";
// The last line holding this header (in this letter case) decides whether
// the following placeholders are embedded as Base64.
inline constexpr std::string_view kEncodingHeader = "Content-Transfer-Encoding:";

// IndexFileName is the index file of the folder being converted; its folder
// holds the Attachments folder.
void RunLinePass(TLineList& Lines, const std::string& IndexFileName);

// Replaces line Index by the content of the file at Path, as Base64 text
// when IsBase64 is set and byte for byte otherwise. Without a file at Path
// (a folder does not count) the line stays. A file that exists but cannot be
// opened raises "Cannot open file %s".
void EmbedAttachment(TLineList& Lines, std::size_t Index, const std::string& Path, bool IsBase64);

// The name a placeholder gives is the sender's text: it may only name a file
// inside the Attachments folder. False for an absolute name, a name with a
// ":" (a drive or a stream) and a name with a ".." component ("\" and "/"
// both separate components).
bool IsAttachmentNameInside(std::string_view name);

// The path of the attachment a placeholder line names, "\" in the name
// turned into the platform's separator.
std::string AttachmentPath(const std::string& IndexFileName, std::string_view line);

} // namespace velmora

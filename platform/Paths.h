// Path helpers with the platform's separator ("/" here).
#pragma once

#include <string>
#include <string_view>

#include "platform/Text.h"

namespace velmora {

inline constexpr char kPathDelim = '/';

inline bool IsPathDelimiter(char c) {
    return c == kPathDelim;
}
bool HasPathDelimiter(std::string_view text);

// Up to and including the last separator; empty when there is none.
std::string ExtractFilePath(std::string_view path);
// After the last separator.
std::string ExtractFileName(std::string_view path);
// The text from the file name's last dot on is replaced by ext; ext is
// appended when the file name has no dot.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// The name without its extension: cut at the last dot when no separator
// follows it (Inbox.imh gives Inbox, Sent.Old.imh gives Sent.Old).
std::string RemoveFileExt(std::string_view name);

std::string JoinPath(std::string_view folder, std::string_view name);

// True only for an existing directory, named exactly so.
bool DirectoryExists(const std::string& path);
// True only for an existing entry that is not a directory, found as
// ResolvePath finds it.
bool FileExists(const std::string& path);
// Creates one directory level; reports success, which callers may ignore.
bool CreateDir(const std::string& path);
// Creates the directory and every missing parent; true when it exists after.
bool ForceDirectories(const std::string& path);

std::string CurrentDirectory();
// The path made absolute against the current directory.
std::string AbsolutePath(const std::string& path);

// Windows' file system does not distinguish letter case, so a store copied
// from it may name "Inbox.IMM" where the index says "Inbox.imm". A path that
// names no entry is resolved component by component: a missing component is
// replaced by the one entry of its folder that matches it case-insensitively.
// Without exactly one match the path is returned as given.
std::string ResolvePath(const std::string& path);

// The entry of folder named like name: the exact name when it exists, else
// the one entry that matches it without regard to letter case. Empty when
// there is none or more than one.
std::string FindEntryIgnoringCase(const std::string& folder, const std::string& name);

} // namespace velmora

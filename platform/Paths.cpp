#include "platform/Paths.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmora {

namespace {

bool EntryExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool StatResolved(const std::string& path, struct stat& info) {
    return ::stat(ResolvePath(path).c_str(), &info) == 0;
}

} // namespace

bool HasPathDelimiter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), IsPathDelimiter);
}

std::string ExtractFilePath(std::string_view path) {
    const auto pos = path.find_last_of(kPathDelim);
    return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos + 1));
}

std::string ExtractFileName(std::string_view path) {
    const auto pos = path.find_last_of(kPathDelim);
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    const auto delim = path.find_last_of(kPathDelim);
    const auto dot = path.find_last_of('.');
    std::string result(path);
    if (dot != std::string_view::npos && (delim == std::string_view::npos || dot > delim))
        result.resize(dot);
    result += ext;
    return result;
}

std::string RemoveFileExt(std::string_view name) {
    const auto pos = name.find_last_of("./");
    if (pos != std::string_view::npos && name[pos] == '.')
        return std::string(name.substr(0, pos));
    return std::string(name);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string result;
    result.reserve(folder.size() + 1 + name.size());
    result += folder;
    result += kPathDelim;
    result += name;
    return result;
}

bool DirectoryExists(const std::string& path) {
    // Exact: output folders are made where the user said, letter case and all.
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && StatResolved(path, info) && !S_ISDIR(info.st_mode);
}

bool CreateDir(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0;
}

bool ForceDirectories(const std::string& path) {
    if (path.empty())
        return false;
    if (DirectoryExists(path))
        return true;
    std::string trimmed = path;
    while (trimmed.size() > 1 && IsPathDelimiter(trimmed.back()))
        trimmed.pop_back();
    const std::string parent = ExtractFilePath(trimmed);
    if (!parent.empty() && parent != trimmed)
        ForceDirectories(parent);
    return CreateDir(trimmed) || DirectoryExists(trimmed);
}

std::string CurrentDirectory() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return ".";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string AbsolutePath(const std::string& path) {
    if (!path.empty() && IsPathDelimiter(path.front()))
        return path;
    std::string current = CurrentDirectory();
    if (path.empty())
        return current;
    if (!current.empty() && IsPathDelimiter(current.back()))
        return current + path;
    return JoinPath(current, path);
}

std::string FindEntryIgnoringCase(const std::string& folder, const std::string& name) {
    if (EntryExists(folder.empty() ? name : JoinPath(folder, name)))
        return name;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                            ::closedir);
    if (!dir)
        return {};
    std::string match;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (SameTextIgnoringCase(entry->d_name, name)) {
            match = entry->d_name;
            ++matches;
        }
    }
    return matches == 1 ? match : std::string();
}

std::string ResolvePath(const std::string& path) {
    if (path.empty() || EntryExists(path))
        return path;
    // Walk from the front, keeping what exists and fixing what does not.
    std::string resolved;
    std::size_t pos = 0;
    if (IsPathDelimiter(path.front())) {
        resolved = std::string(1, kPathDelim);
        pos = 1;
    }
    while (pos <= path.size()) {
        auto end = path.find(kPathDelim, pos);
        if (end == std::string::npos)
            end = path.size();
        const std::string component = path.substr(pos, end - pos);
        const std::string folder = resolved.empty() ? std::string(".") : resolved;
        std::string candidate = resolved + component;
        if (!component.empty() && !EntryExists(candidate)) {
            const std::string match = FindEntryIgnoringCase(folder, component);
            if (match.empty())
                return path;
            candidate = resolved + match;
        }
        resolved = candidate;
        if (end == path.size())
            break;
        resolved += kPathDelim;
        pos = end + 1;
    }
    return resolved;
}

} // namespace velmora

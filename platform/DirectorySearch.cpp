#include "platform/DirectorySearch.h"

#include "platform/Paths.h"

#include <algorithm>
#include <dirent.h>
#include <memory>

namespace velmora {

namespace {

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const auto folded =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(FoldCase(x)) <
                   static_cast<unsigned char>(FoldCase(y));
        });
    if (folded || !SameTextIgnoringCase(a, b))
        return folded;
    return a < b; // same letters: keep a stable, byte-wise order
}

} // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
    // Iterative wildcard match with backtracking to the last "*".
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || FoldCase(mask[m]) == FoldCase(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

std::vector<std::string> FindFiles(const std::string& pattern) {
    std::string folder = ExtractFilePath(pattern);
    const std::string mask = ExtractFileName(pattern);
    folder = folder.empty() ? std::string(".") : ResolvePath(folder);
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (MatchesMask(name, mask))
            names.emplace_back(name);
    }
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

} // namespace velmora

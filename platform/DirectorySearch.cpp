#include "platform/DirectorySearch.h"

#include "platform/Paths.h"
#include "platform/Text.h"

#include <algorithm>
#include <dirent.h>
#include <memory>

namespace velmora {

bool MatchesMask(std::string_view name, std::string_view mask) {
    // Iterative wildcard match with backtracking to the last "*".
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || LowerAscii(mask[m]) == LowerAscii(name[n]))) {
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

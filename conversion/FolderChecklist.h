// The folder checklist: one row per index file of the selected folder.
#pragma once

#include <string>
#include <vector>

namespace velmora {

inline constexpr const char* kDeletedItemsFolder = "Deleted Items";

struct TFolderRow {
    std::string Caption;       // the mail folder's name
    std::string IndexFileName; // full path of its index file
    bool Checked = true;
};

// The rows for a folder: every entry matching "*.imh" (letter case aside) in
// the order of the directory search; the caption is the name without its
// extension; every row is ticked but "Deleted Items". A folder that does not
// exist, or holds no index file, gives no rows.
std::vector<TFolderRow> ListMailFolders(const std::string& folderPath);

} // namespace velmora

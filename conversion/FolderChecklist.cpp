#include "conversion/FolderChecklist.h"

#include "platform/DirectorySearch.h"
#include "platform/Paths.h"

namespace velmora {

std::vector<TFolderRow> ListMailFolders(const std::string& folderPath) {
    std::vector<TFolderRow> rows;
    for (const std::string& name : FindFiles(JoinPath(folderPath, "*.imh"))) {
        TFolderRow row;
        row.Caption = RemoveFileExt(name);
        row.IndexFileName = JoinPath(folderPath, name);
        row.Checked = row.Caption != kDeletedItemsFolder;
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace velmora

// The shell namespace: folders named by item-id lists, rooted at the desktop.
//
// An item-id list is one memory block of items, each a 16-bit little-endian
// byte count (the two count bytes included) followed by count - 2 bytes of
// item data, ended by a 16-bit zero. The terminator alone is the empty list,
// the desktop. An absolute list names a folder by the items of its way down
// from the desktop. What an item's data holds is this module's business
// alone; callers only copy, cut and compare lists.
//
// On Linux the desktop's children are, in this order, the home folder
// ("Home"), the file system root ("File System") and, where a Wine prefix
// exists, each of its drives ("C:", "D:", ...). A path is parsed through the
// child whose folder holds its canonical form most closely, so a folder
// inside a prefix is reached through its drive rather than the hidden
// prefix folder; a Windows path "C:\..." goes through the prefix's drive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

using PItemIDList = std::uint8_t*;
using PCItemIDList = const std::uint8_t*;

// The shell's allocator. Alloc may give nullptr.
class IMalloc {
public:
    virtual ~IMalloc() = default;
    virtual void* Alloc(std::size_t size) = 0;
    virtual void Free(void* block) = 0;
};

// The allocator every item-id list comes from. Tests may put another in
// its place; nullptr restores the default.
IMalloc& SHGetMalloc();
void SetShellAllocator(IMalloc* allocator);

// The desktop folder's operations that the navigation relies on.
class IShellFolder {
public:
    virtual ~IShellFolder() = default;
    // The absolute list of the item that path names, allocated from
    // SHGetMalloc(); raises when the path names nothing.
    virtual PItemIDList ParseDisplayName(const std::string& path) = 0;
    // 0 exactly when both absolute lists name the same item.
    virtual int CompareIDs(long param, PCItemIDList first, PCItemIDList second) = 0;
};

// A folder as the tree shows it.
struct TShellFolderItem {
    std::vector<std::uint8_t> IdList; // absolute, terminator included
    std::string DisplayName;
    std::string FileSystemPath; // empty for a folder outside the file system
};

// Where the desktop's children come from; the defaults read the
// environment ($HOME, $WINEPREFIX or ~/.wine).
struct TShellRoots {
    std::string Home;
    std::string WinePrefix; // empty: no Wine drives
    static TShellRoots FromEnvironment();
};

class TShellNamespace : public IShellFolder {
public:
    explicit TShellNamespace(TShellRoots roots = TShellRoots::FromEnvironment());
    ~TShellNamespace() override;

    PItemIDList ParseDisplayName(const std::string& path) override;
    int CompareIDs(long param, PCItemIDList first, PCItemIDList second) override;

    // The direct child folders of a folder: directories only, hidden ones
    // (a leading dot) left out, sorted by display name without regard to
    // letter case.
    std::vector<TShellFolderItem> SubFolders(PCItemIDList folder) const;
    TShellFolderItem Describe(PCItemIDList folder) const;
    // The folder's file-system path without a trailing separator ("/" stays);
    // empty when it has none (the desktop).
    std::string FileSystemPath(PCItemIDList folder) const;
    std::string DisplayName(PCItemIDList folder) const;
    // A Windows path "X:\..." as a path of this system, through the
    // prefix's drive X: (components resolved without regard to letter case
    // as far as they exist, the rest kept as given); empty when the prefix
    // has no such drive. Any other path is returned as given.
    std::string LocalPath(const std::string& path) const;

    const TShellRoots& Roots() const { return FRoots; }

private:
    TShellRoots FRoots;
};

// The desktop folder of the program's shell namespace.
std::shared_ptr<TShellNamespace> SHGetDesktopFolder();

} // namespace velmora

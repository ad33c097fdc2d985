#include "platform/ShellNamespace.h"

#include "platform/Exceptions.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <limits>
#include <new>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// An item's data: one kind byte, then the name bytes (empty for the home
// folder and the file system root, the lower-case letter for a drive, the
// directory entry's name for a folder inside one of them).
enum TItemKind : std::uint8_t {
    kHome = 'H',
    kRoot = 'R',
    kDrive = 'D',
    kEntry = 'F',
};

struct TItem {
    std::uint8_t Kind = kEntry;
    std::string Name;
};

std::uint16_t ItemCount(PCItemIDList item) {
    return static_cast<std::uint16_t>(item[0] | (item[1] << 8));
}

bool IsRootKind(std::uint8_t kind) {
    return kind == kHome || kind == kRoot || kind == kDrive;
}

[[noreturn]] void InvalidList() {
    throw Exception("Invalid item-id list");
}

std::vector<TItem> Decode(PCItemIDList list) {
    std::vector<TItem> items;
    if (list == nullptr)
        InvalidList();
    for (PCItemIDList item = list; ItemCount(item) != 0; item += ItemCount(item)) {
        const std::uint16_t count = ItemCount(item);
        if (count < 3)
            InvalidList();
        TItem decoded;
        decoded.Kind = item[2];
        decoded.Name.assign(reinterpret_cast<const char*>(item + 3), count - 3u);
        const bool first = items.empty();
        if (first != IsRootKind(decoded.Kind) || (!first && decoded.Kind != kEntry))
            InvalidList();
        items.push_back(std::move(decoded));
    }
    return items;
}

std::vector<std::uint8_t> Encode(const std::vector<TItem>& items) {
    std::vector<std::uint8_t> list;
    for (const TItem& item : items) {
        const std::size_t count = 3 + item.Name.size();
        if (count > std::numeric_limits<std::uint16_t>::max())
            throw Exception("Name too long for an item-id list: " + item.Name);
        list.push_back(static_cast<std::uint8_t>(count & 0xFF));
        list.push_back(static_cast<std::uint8_t>(count >> 8));
        list.push_back(item.Kind);
        list.insert(list.end(), item.Name.begin(), item.Name.end());
    }
    list.push_back(0);
    list.push_back(0);
    return list;
}

PItemIDList AllocateList(const std::vector<std::uint8_t>& bytes) {
    void* block = SHGetMalloc().Alloc(bytes.size());
    if (block == nullptr)
        throw std::bad_alloc();
    std::memcpy(block, bytes.data(), bytes.size());
    return static_cast<PItemIDList>(block);
}

// The size of a list up to and including its terminator; a malformed count
// ends the walk so that a bad list cannot send it off into memory.
std::size_t ListSize(PCItemIDList list) {
    std::size_t size = 0;
    while (true) {
        const std::uint16_t count = ItemCount(list + size);
        if (count < 2)
            return size + 2;
        size += count;
    }
}

std::string Canonical(const std::string& path) {
    std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Child(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : JoinPath(folder, name);
}

struct TRootFolder {
    TRootFolder(std::uint8_t kind, std::string name, std::string folder, std::string display)
        : Folder(std::move(folder)), Display(std::move(display)) {
        Item.Kind = kind;
        Item.Name = std::move(name);
    }
    TItem Item;
    std::string Folder; // canonical
    std::string Display;
};

std::string DriveDisplayName(char letter) {
    return std::string(1, UpperAscii(letter)) + ":";
}

// The canonical folder of a drive of the prefix, empty when it has none.
std::string DriveFolder(const std::string& prefix, char letter) {
    if (prefix.empty())
        return {};
    const std::string devices = prefix + "/dosdevices/";
    for (const char c : {LowerAscii(letter), UpperAscii(letter)}) {
        const std::string folder = Canonical(devices + c + ":");
        if (!folder.empty() && IsDirectory(folder))
            return folder;
    }
    return {};
}

// The parts of a Windows path "X:\a\b": the drive letter and the components,
// "." left out and ".." taken back. False for anything else.
bool SplitWindowsPath(const std::string& path, char& letter, std::vector<std::string>& parts) {
    if (path.size() < 2 || !IsAsciiLetter(path[0]) || path[1] != ':')
        return false;
    if (path.size() > 2 && path[2] != '\\' && path[2] != '/')
        return false; // "C:name" is relative to the drive's current folder
    letter = LowerAscii(path[0]);
    parts.clear();
    std::size_t pos = 2;
    while (pos < path.size()) {
        const std::size_t end = path.find_first_of("\\/", pos + 1);
        const std::string part =
            path.substr(pos + 1, (end == std::string::npos ? path.size() : end) - pos - 1);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = end == std::string::npos ? path.size() : end;
    }
    return true;
}

// Resolves the components below a drive folder, letter case ignored where
// the exact name is missing. Gives how many components were found; their
// names as the file system spells them are put in place.
std::size_t ResolveComponents(const std::string& driveFolder, std::vector<std::string>& parts) {
    std::string folder = driveFolder;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string found = FindEntryIgnoringCase(folder, parts[i]);
        if (found.empty())
            return i;
        parts[i] = found;
        folder = Child(folder, found);
    }
    return parts.size();
}

class TDefaultMalloc final : public IMalloc {
public:
    void* Alloc(std::size_t size) override { return std::malloc(size == 0 ? 1 : size); }
    void Free(void* block) override { std::free(block); }
};

IMalloc* gShellAllocator = nullptr;

} // namespace

IMalloc& SHGetMalloc() {
    static TDefaultMalloc defaultAllocator;
    return gShellAllocator != nullptr ? *gShellAllocator : defaultAllocator;
}

void SetShellAllocator(IMalloc* allocator) {
    gShellAllocator = allocator;
}

TShellRoots TShellRoots::FromEnvironment() {
    TShellRoots roots;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        roots.Home = home;
    } else if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir) {
        roots.Home = user->pw_dir;
    }
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0')
        roots.WinePrefix = prefix;
    else if (!roots.Home.empty())
        roots.WinePrefix = Child(roots.Home, ".wine");
    return roots;
}

TShellNamespace::TShellNamespace(TShellRoots roots) : FRoots(std::move(roots)) {}

TShellNamespace::~TShellNamespace() = default;

namespace {

// The desktop's children, in the order the tree shows them: home, the file
// system, then the prefix's drives by letter. Only folders that exist.
std::vector<TRootFolder> DesktopChildren(const TShellRoots& roots) {
    std::vector<TRootFolder> children;
    if (!roots.Home.empty()) {
        const std::string home = Canonical(roots.Home);
        if (!home.empty() && IsDirectory(home))
            children.emplace_back(kHome, "", home, "Home");
    }
    children.emplace_back(kRoot, "", "/", "File System");
    if (roots.WinePrefix.empty())
        return children;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir((roots.WinePrefix + "/dosdevices").c_str()),
                                            ::closedir);
    if (!dir)
        return children;
    std::string letters;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.size() == 2 && IsAsciiLetter(name[0]) && name[1] == ':')
            letters += LowerAscii(name[0]);
    }
    std::sort(letters.begin(), letters.end());
    letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
    for (const char letter : letters) {
        const std::string folder = DriveFolder(roots.WinePrefix, letter);
        if (!folder.empty())
            children.emplace_back(kDrive, std::string(1, letter), folder, DriveDisplayName(letter));
    }
    return children;
}

std::string RootFolderOf(const TShellRoots& roots, const TItem& item) {
    switch (item.Kind) {
    case kHome: {
        const std::string home = Canonical(roots.Home);
        return home.empty() ? roots.Home : home;
    }
    case kRoot:
        return "/";
    default: {
        const std::string folder =
            DriveFolder(roots.WinePrefix, item.Name.empty() ? '?' : item.Name[0]);
        return folder.empty() ? roots.WinePrefix + "/dosdevices/" + item.Name + ":" : folder;
    }
    }
}

std::string PathOf(const TShellRoots& roots, const std::vector<TItem>& items) {
    if (items.empty())
        return {};
    std::string path = RootFolderOf(roots, items.front());
    for (std::size_t i = 1; i < items.size(); ++i)
        path = Child(path, items[i].Name);
    return path;
}

bool IsBelow(const std::string& folder, const std::string& path) {
    if (folder == "/")
        return true;
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

[[noreturn]] void NotFound(const std::string& path) {
    throw Exception("The system cannot find the path specified: " + path);
}

} // namespace

PItemIDList TShellNamespace::ParseDisplayName(const std::string& path) {
    std::vector<TItem> items;
    char letter = 0;
    std::vector<std::string> parts;
    if (SplitWindowsPath(path, letter, parts)) {
        const std::string drive = DriveFolder(FRoots.WinePrefix, letter);
        if (drive.empty() || ResolveComponents(drive, parts) != parts.size())
            NotFound(path);
        items.push_back({kDrive, std::string(1, letter)});
        for (std::string& part : parts)
            items.push_back({kEntry, std::move(part)});
        return AllocateList(Encode(items));
    }
    if (path.empty() || path.front() != '/')
        NotFound(path);
    // Letter case is forgiven as elsewhere: a store copied from Windows may
    // spell a folder differently from the path that names it.
    const std::string canonical = Canonical(ResolvePath(path));
    if (canonical.empty())
        NotFound(path);
    // The desktop child whose folder holds the path most closely: a store
    // inside a prefix is reached through its drive, not the hidden prefix.
    const std::vector<TRootFolder> roots = DesktopChildren(FRoots);
    const TRootFolder* best = nullptr;
    for (const TRootFolder& root : roots)
        if (IsBelow(root.Folder, canonical) &&
            (best == nullptr || root.Folder.size() > best->Folder.size()))
            best = &root;
    if (best == nullptr)
        NotFound(path);
    items.push_back(best->Item);
    std::size_t pos = best->Folder == "/" ? 1 : best->Folder.size() + 1;
    while (pos < canonical.size()) {
        const std::size_t end = std::min(canonical.find('/', pos), canonical.size());
        items.push_back({kEntry, canonical.substr(pos, end - pos)});
        pos = end + 1;
    }
    return AllocateList(Encode(items));
}

int TShellNamespace::CompareIDs(long /*param*/, PCItemIDList first, PCItemIDList second) {
    if (first == nullptr || second == nullptr)
        return first == second ? 0 : (first == nullptr ? -1 : 1);
    const std::size_t firstSize = ListSize(first);
    const std::size_t secondSize = ListSize(second);
    const int order = std::memcmp(first, second, std::min(firstSize, secondSize));
    if (order != 0)
        return order < 0 ? -1 : 1;
    return firstSize == secondSize ? 0 : (firstSize < secondSize ? -1 : 1);
}

std::vector<TShellFolderItem> TShellNamespace::SubFolders(PCItemIDList folder) const {
    const std::vector<TItem> items = Decode(folder);
    std::vector<TShellFolderItem> result;
    if (items.empty()) {
        for (const TRootFolder& root : DesktopChildren(FRoots))
            result.push_back({Encode({root.Item}), root.Display, root.Folder});
        return result;
    }
    const std::string path = PathOf(FRoots, items);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), ::closedir);
    if (!dir)
        return result;
    std::vector<TItem> childItems = items;
    childItems.emplace_back();
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.empty() || name.front() == '.')
            continue;
        const std::string childPath = Child(path, name);
        if (!IsDirectory(childPath))
            continue;
        childItems.back() = {kEntry, name};
        result.push_back({Encode(childItems), name, childPath});
    }
    std::sort(result.begin(), result.end(), [](const auto& a, const auto& b) {
        return LessIgnoringCase(a.DisplayName, b.DisplayName);
    });
    return result;
}

TShellFolderItem TShellNamespace::Describe(PCItemIDList folder) const {
    const std::vector<TItem> items = Decode(folder);
    return {Encode(items), DisplayName(folder), PathOf(FRoots, items)};
}

std::string TShellNamespace::FileSystemPath(PCItemIDList folder) const {
    return PathOf(FRoots, Decode(folder));
}

std::string TShellNamespace::DisplayName(PCItemIDList folder) const {
    const std::vector<TItem> items = Decode(folder);
    if (items.empty())
        return "Desktop";
    const TItem& last = items.back();
    switch (last.Kind) {
    case kHome:
        return "Home";
    case kRoot:
        return "File System";
    case kDrive:
        return DriveDisplayName(last.Name.empty() ? '?' : last.Name[0]);
    default:
        return last.Name;
    }
}

std::string TShellNamespace::LocalPath(const std::string& path) const {
    char letter = 0;
    std::vector<std::string> parts;
    if (!SplitWindowsPath(path, letter, parts))
        return path;
    const std::string drive = DriveFolder(FRoots.WinePrefix, letter);
    if (drive.empty())
        return {};
    ResolveComponents(drive, parts);
    std::string local = drive;
    for (const std::string& part : parts)
        local = Child(local, part);
    return local;
}

std::shared_ptr<TShellNamespace> SHGetDesktopFolder() {
    return std::make_shared<TShellNamespace>();
}

} // namespace velmora

// A read-only registry reader with the operations the store locator needs:
// open a key without creating it, read strings relative to the open key (or
// to the root when none is open), close.
//
// On Linux the registry is that of the user's Wine prefix ($WINEPREFIX, else
// ~/.wine): the machine key lives in the text file system.reg. A missing or
// unreadable file is an empty registry, in which every key is missing. A
// 64-bit prefix (marked "#arch=win64") shows a 32-bit program the keys of
// Software\Wow6432Node in place of those of Software; the reader takes that
// view first and falls back to the plain key where it has none. Key and
// value names are compared without regard to letter case. Nothing is ever
// written.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

enum class TRootKey {
    LocalMachine, // system.reg
    CurrentUser,  // user.reg
};

// Value types as the registry numbers them.
enum TRegDataType : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
};

// One value as the registry file holds it.
struct TRegValue {
    std::string Name; // empty for the default value
    std::uint32_t Type = kRegNone;
    // The text of a quoted string form ("...", str(N):"..."), in UTF-8 and
    // with its NULs kept; empty for the other forms.
    std::string Text;
    bool Quoted = false;
    std::vector<std::uint8_t> Bytes; // the data of dword:, hex: and hex(N):
};

// One registry file, parsed on demand: the key sections are indexed when it
// is loaded, a key's values are read when they are asked for.
class TRegistryFile {
public:
    // An empty registry when the file is missing, unreadable or not a Wine
    // registry file.
    static std::shared_ptr<const TRegistryFile> Load(const std::string& fileName);

    bool Win64() const { return FWin64; }
    // Path relative to the file's root, components separated by "\". A key
    // exists when it has a section of its own or one below it.
    bool KeyExists(const std::string& path) const;
    std::optional<TRegValue> FindValue(const std::string& keyPath, const std::string& name) const;

private:
    std::string FText;
    std::map<std::string, std::size_t> FSections; // folded path -> first line of its body
    bool FWin64 = false;
};

class TRegIniFile {
public:
    // The registry of the Wine prefix given, or of the environment's when
    // winePrefix is empty; the root key is the machine key.
    explicit TRegIniFile(const std::string& winePrefix = {});
    ~TRegIniFile();
    TRegIniFile(const TRegIniFile&) = delete;
    TRegIniFile& operator=(const TRegIniFile&) = delete;

    void SetRootKey(TRootKey root);
    // Opens key: relative to the open key, or to the root when none is open
    // or key begins with "\". Never creates it: false, and the open key
    // unchanged, when it does not exist.
    bool OpenKey(const std::string& key);
    // The string value ident of the subkey section of the open key (of the
    // root when none is open; section empty: the key itself; ident empty:
    // the default value), or defaultValue when the subkey or the value is
    // missing. A string ends at its first NUL; an expandable string is given
    // as it stands. A value of another type raises ERegistryException
    // "Invalid data type for '<ident>'", unless it holds no data, which
    // reads as the empty text.
    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) const;
    void CloseKey();

    bool HasOpenKey() const { return FCurrentKey.has_value(); }
    // The open key's path as found in the file, folded to lower case.
    std::string CurrentPath() const { return FCurrentKey.value_or(std::string()); }

private:
    std::optional<std::string> FindKey(const std::string& path) const;

    std::string FWinePrefix;
    TRootKey FRoot = TRootKey::LocalMachine;
    std::shared_ptr<const TRegistryFile> FFile;
    std::optional<std::string> FCurrentKey;
};

} // namespace velmora

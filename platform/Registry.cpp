#include "platform/Registry.h"

#include "platform/Exceptions.h"
#include "platform/ShellNamespace.h"
#include "platform/Text.h"

#include <fstream>
#include <sstream>
#include <string_view>

namespace velmora {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

// A key path in the form the index keeps: components folded to lower case,
// separated by one "\", none empty.
std::string NormalKeyPath(std::string_view path) {
    std::string normal;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        const std::size_t end = std::min(path.find('\\', pos), path.size());
        if (end > pos) {
            if (!normal.empty())
                normal += '\\';
            normal += LowerAscii(path.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return normal;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Turns UTF-16 code units into UTF-8; a surrogate without its partner
// becomes U+FFFD.
class TUtf16ToUtf8 {
public:
    void Unit(char16_t unit) {
        if (FHigh != 0) {
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                AppendUtf8(FOut, 0x10000 + ((char32_t(FHigh) - 0xD800) << 10) + (unit - 0xDC00));
                FHigh = 0;
                return;
            }
            Flush();
        }
        if (unit >= 0xD800 && unit <= 0xDBFF)
            FHigh = unit;
        else if (unit >= 0xDC00 && unit <= 0xDFFF)
            AppendUtf8(FOut, 0xFFFD);
        else
            AppendUtf8(FOut, unit);
    }
    // A byte of the file taken as it stands (the file's own text is UTF-8).
    void Byte(char c) {
        Flush();
        FOut += c;
    }
    std::string Take() {
        Flush();
        return std::move(FOut);
    }

private:
    void Flush() {
        if (FHigh != 0)
            AppendUtf8(FOut, 0xFFFD);
        FHigh = 0;
    }
    std::string FOut;
    char16_t FHigh = 0;
};

// A quoted text of the file from pos up to the unescaped closer, which pos
// is left behind. The escapes are those of Wine's registry files: \a \b \e
// \f \n \r \t \v, \x with up to four hex digits (a UTF-16 unit), up to three
// octal digits, and a backslash before any other character standing for
// that character.
std::optional<std::string> ParseQuoted(std::string_view line, std::size_t& pos, char closer) {
    TUtf16ToUtf8 text;
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == closer)
            return text.Take();
        if (c != '\\' || pos >= line.size()) {
            text.Byte(c);
            continue;
        }
        const char e = line[pos++];
        switch (e) {
        case 'a':
            text.Unit(u'\a');
            break;
        case 'b':
            text.Unit(u'\b');
            break;
        case 'e':
            text.Unit(0x1B);
            break;
        case 'f':
            text.Unit(u'\f');
            break;
        case 'n':
            text.Unit(u'\n');
            break;
        case 'r':
            text.Unit(u'\r');
            break;
        case 't':
            text.Unit(u'\t');
            break;
        case 'v':
            text.Unit(u'\v');
            break;
        case 'x': {
            unsigned value = 0;
            int digits = 0;
            while (digits < 4 && pos < line.size() && HexDigit(line[pos]) >= 0) {
                value = value * 16 + static_cast<unsigned>(HexDigit(line[pos++]));
                ++digits;
            }
            if (digits == 0)
                text.Byte('x');
            else
                text.Unit(static_cast<char16_t>(value));
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                unsigned value = static_cast<unsigned>(e - '0');
                for (int digits = 1;
                     digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7';
                     ++digits)
                    value = value * 8 + static_cast<unsigned>(line[pos++] - '0');
                text.Unit(static_cast<char16_t>(value));
            } else {
                text.Byte(e);
            }
        }
    }
    return std::nullopt; // no closer: not a well-formed line
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// "a0,1b,ff": the bytes of a hex form, continuation lines already joined.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    std::size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
    };
    skipBlanks();
    while (pos < text.size()) {
        if (pos + 1 >= text.size() || HexDigit(text[pos]) < 0 || HexDigit(text[pos + 1]) < 0)
            return std::nullopt;
        bytes.push_back(
            static_cast<std::uint8_t>(HexDigit(text[pos]) * 16 + HexDigit(text[pos + 1])));
        pos += 2;
        skipBlanks();
        if (pos < text.size()) {
            if (text[pos] != ',')
                return std::nullopt;
            ++pos;
            skipBlanks();
        }
    }
    return bytes;
}

// "(2):" after "str" or "hex": the type number in hex.
std::optional<std::uint32_t> ParseTypeNumber(std::string_view text, std::size_t& pos) {
    if (pos >= text.size() || text[pos] != '(')
        return std::nullopt;
    ++pos;
    std::uint32_t type = 0;
    int digits = 0;
    while (pos < text.size() && HexDigit(text[pos]) >= 0 && digits < 8) {
        type = type * 16 + static_cast<std::uint32_t>(HexDigit(text[pos++]));
        ++digits;
    }
    if (digits == 0 || pos + 1 >= text.size() || text[pos] != ')' || text[pos + 1] != ':')
        return std::nullopt;
    pos += 2;
    return type;
}

std::optional<TRegValue> ParseValueLine(std::string_view line) {
    TRegValue value;
    std::size_t pos = 0;
    if (StartsWith(line, "@")) {
        pos = 1;
    } else if (StartsWith(line, "\"")) {
        pos = 1;
        std::optional<std::string> name = ParseQuoted(line, pos, '"');
        if (!name)
            return std::nullopt;
        value.Name = std::move(*name);
    } else {
        return std::nullopt;
    }
    if (pos >= line.size() || line[pos] != '=')
        return std::nullopt;
    const std::string_view data = line.substr(pos + 1);
    std::size_t at = 0;
    if (StartsWith(data, "\"") || StartsWith(data, "str(")) {
        value.Type = kRegSz;
        if (StartsWith(data, "str(")) {
            at = 3;
            const auto type = ParseTypeNumber(data, at);
            if (!type)
                return std::nullopt;
            value.Type = *type;
        }
        if (at >= data.size() || data[at] != '"')
            return std::nullopt;
        ++at;
        std::optional<std::string> text = ParseQuoted(data, at, '"');
        if (!text)
            return std::nullopt;
        value.Text = std::move(*text);
        value.Quoted = true;
        return value;
    }
    if (StartsWith(data, "dword:")) {
        const std::string_view digits = data.substr(6, 8);
        std::uint32_t number = 0;
        if (digits.size() != 8)
            return std::nullopt;
        for (const char c : digits) {
            if (HexDigit(c) < 0)
                return std::nullopt;
            number = number * 16 + static_cast<std::uint32_t>(HexDigit(c));
        }
        value.Type = kRegDword;
        for (int shift = 0; shift < 32; shift += 8)
            value.Bytes.push_back(static_cast<std::uint8_t>((number >> shift) & 0xFF));
        return value;
    }
    if (StartsWith(data, "hex:")) {
        value.Type = kRegBinary;
        at = 4;
    } else if (StartsWith(data, "hex(")) {
        at = 3;
        const auto type = ParseTypeNumber(data, at);
        if (!type)
            return std::nullopt;
        value.Type = *type;
    } else {
        return std::nullopt;
    }
    auto bytes = ParseHexBytes(data.substr(at));
    if (!bytes)
        return std::nullopt;
    value.Bytes = std::move(*bytes);
    return value;
}

// Reads the file line by line from pos; CR LF ends a line as LF does.
bool NextLine(const std::string& text, std::size_t& pos, std::string_view& line) {
    if (pos >= text.size())
        return false;
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    line = std::string_view(text).substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    pos = end + 1;
    return true;
}

std::string Utf16LeToUtf8(const std::vector<std::uint8_t>& bytes) {
    TUtf16ToUtf8 text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.Unit(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return text.Take();
}

} // namespace

std::shared_ptr<const TRegistryFile> TRegistryFile::Load(const std::string& fileName) {
    auto file = std::make_shared<TRegistryFile>();
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return file;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    std::string text = std::move(buffer).str();
    std::size_t pos = 0;
    std::string_view line;
    if (!NextLine(text, pos, line) || line != kHeader)
        return file;
    bool inSection = false;
    while (NextLine(text, pos, line)) {
        if (!inSection && line == "#arch=win64")
            file->FWin64 = true;
        if (!StartsWith(line, "["))
            continue;
        std::size_t at = 1;
        const std::optional<std::string> name = ParseQuoted(line, at, ']');
        if (!name)
            continue;
        inSection = true;
        file->FSections.emplace(NormalKeyPath(*name), pos);
    }
    file->FText = std::move(text);
    return file;
}

bool TRegistryFile::KeyExists(const std::string& path) const {
    const std::string normal = NormalKeyPath(path);
    if (normal.empty() || FSections.count(normal) != 0)
        return true;
    // Wine writes no section for a key that has only subkeys.
    const std::string below = normal + '\\';
    const auto next = FSections.lower_bound(below);
    return next != FSections.end() && StartsWith(next->first, below);
}

std::optional<TRegValue> TRegistryFile::FindValue(const std::string& keyPath,
                                                  const std::string& name) const {
    const auto section = FSections.find(NormalKeyPath(keyPath));
    if (section == FSections.end())
        return std::nullopt;
    const std::string wanted = LowerAscii(name);
    std::size_t pos = section->second;
    std::string_view line;
    while (NextLine(FText, pos, line) && !StartsWith(line, "[")) {
        std::string joined;
        // Long hex data goes on over lines that end in ",\".
        while (line.size() >= 2 && line.substr(line.size() - 2) == ",\\") {
            joined.append(line.substr(0, line.size() - 1));
            if (!NextLine(FText, pos, line))
                break;
            line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        }
        if (!joined.empty()) {
            joined.append(line);
            line = joined;
        }
        std::optional<TRegValue> value = ParseValueLine(line);
        if (value && LowerAscii(value->Name) == wanted)
            return value;
    }
    return std::nullopt;
}

TRegIniFile::TRegIniFile(const std::string& winePrefix)
    : FWinePrefix(winePrefix.empty() ? TShellRoots::FromEnvironment().WinePrefix : winePrefix) {
    SetRootKey(TRootKey::LocalMachine);
}

TRegIniFile::~TRegIniFile() = default;

void TRegIniFile::SetRootKey(TRootKey root) {
    if (FFile && root == FRoot)
        return;
    FRoot = root;
    FCurrentKey.reset();
    const char* fileName = root == TRootKey::LocalMachine ? "/system.reg" : "/user.reg";
    FFile = TRegistryFile::Load(FWinePrefix.empty() ? std::string() : FWinePrefix + fileName);
}

std::optional<std::string> TRegIniFile::FindKey(const std::string& path) const {
    const std::string normal = NormalKeyPath(path);
    if (FRoot == TRootKey::LocalMachine && FFile->Win64()) {
        // The 32-bit view: Software\X is Software\Wow6432Node\X.
        const std::string_view software = "software";
        const std::string_view rest = StartsWith(normal, software)
                                          ? std::string_view(normal).substr(software.size())
                                          : std::string_view("-");
        if (rest.empty() || rest.front() == '\\') {
            const std::string_view second =
                rest.empty() ? rest : rest.substr(1, rest.find('\\', 1) - 1);
            if (second != "wow6432node") {
                const std::string redirected =
                    std::string(software) + "\\wow6432node" + std::string(rest);
                if (FFile->KeyExists(redirected))
                    return redirected;
            }
        }
    }
    if (FFile->KeyExists(normal))
        return normal;
    return std::nullopt;
}

bool TRegIniFile::OpenKey(const std::string& key) {
    const bool fromRoot = !FCurrentKey || StartsWith(key, "\\");
    const std::string path = fromRoot ? key : *FCurrentKey + '\\' + key;
    std::optional<std::string> found = FindKey(path);
    if (!found)
        return false;
    FCurrentKey = std::move(found);
    return true;
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) const {
    const std::string base = FCurrentKey.value_or(std::string());
    const std::optional<std::string> key = FindKey(section.empty() ? base : base + '\\' + section);
    if (!key)
        return defaultValue;
    const std::optional<TRegValue> value = FFile->FindValue(*key, ident);
    if (!value)
        return defaultValue;
    if (value->Type == kRegSz || value->Type == kRegExpandSz) {
        std::string text = value->Quoted ? value->Text : Utf16LeToUtf8(value->Bytes);
        const std::size_t nul = text.find('\0');
        if (nul != std::string::npos)
            text.resize(nul);
        return text;
    }
    if (!value->Quoted && value->Bytes.empty())
        return std::string();
    throw ERegistryException("Invalid data type for '" + ident + "'");
}

void TRegIniFile::CloseKey() {
    FCurrentKey.reset();
}

} // namespace velmora

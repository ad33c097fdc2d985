// File streams over the operating system's descriptors. Every failure raises
// the system's message with the path; the descriptor is closed by RAII.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

// A file opened read-only. The path is resolved case-insensitively when it
// names no file as written (see ResolvePath).
class TFileStream {
public:
    static TFileStream OpenRead(const std::string& path);

    TFileStream(TFileStream&& other) noexcept;
    TFileStream& operator=(TFileStream&& other) noexcept;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    ~TFileStream();

    const std::string& Path() const { return FPath; }
    std::int64_t Size() const;

    // The bytes of [offset, offset + length) that exist in the file: a range
    // running past the end is cut there, and a negative offset or length, or
    // an offset at or past the end, gives no bytes.
    std::string ReadBlock(std::int64_t offset, std::int64_t length) const;
    std::string ReadAll() const { return ReadBlock(0, Size()); }

private:
    TFileStream(int fd, std::string path) : FFd(fd), FPath(std::move(path)) {}
    int FFd = -1;
    std::string FPath;
};

// A file being written. CreateNew never replaces an existing file; a file
// that is not committed is removed again when the object goes, so a failed
// save leaves nothing behind.
class TNewFile {
public:
    // nullopt when a file of that name exists already.
    static std::optional<TNewFile> CreateNew(const std::string& path);
    // Creates the file or truncates an existing one; committed on creation,
    // as the caller chose to replace whatever was there.
    static TNewFile CreateOrReplace(const std::string& path);

    TNewFile(TNewFile&& other) noexcept;
    TNewFile& operator=(TNewFile&&) = delete;
    TNewFile(const TNewFile&) = delete;
    TNewFile& operator=(const TNewFile&) = delete;
    ~TNewFile();

    const std::string& Path() const { return FPath; }

    void Write(std::string_view bytes);
    // Writes the pieces one after another with as few system calls as the
    // platform allows.
    void WriteGather(std::span<const std::string_view> pieces);
    void SetModificationTime(std::time_t when);
    // Closes the file and keeps it.
    void Commit();

private:
    TNewFile(int fd, std::string path, bool committed)
        : FFd(fd), FPath(std::move(path)), FCommitted(committed) {}
    [[noreturn]] void FailWrite();
    int FFd = -1;
    std::string FPath;
    bool FCommitted = false;
};

} // namespace velmora

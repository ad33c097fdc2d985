#include "platform/FileStream.h"

#include "platform/Exceptions.h"
#include "platform/Memory.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace velmora {

namespace {

int OpenFlags(int flags) {
    return flags | O_CLOEXEC;
}

} // namespace

TFileStream TFileStream::OpenRead(const std::string& path) {
    // The path as written first: resolving it costs a look at the folder,
    // which only a name that differs in letter case needs.
    int fd = ::open(path.c_str(), OpenFlags(O_RDONLY));
    if (fd < 0 && errno == ENOENT)
        fd = ::open(ResolvePath(path).c_str(), OpenFlags(O_RDONLY));
    if (fd < 0)
        throw EFOpenError(path);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        throw EFOpenError(path);
    }
    return TFileStream(fd, path);
}

TFileStream::TFileStream(TFileStream&& other) noexcept
    : FFd(std::exchange(other.FFd, -1)), FPath(std::move(other.FPath)) {}

TFileStream& TFileStream::operator=(TFileStream&& other) noexcept {
    if (this != &other) {
        if (FFd >= 0)
            ::close(FFd);
        FFd = std::exchange(other.FFd, -1);
        FPath = std::move(other.FPath);
    }
    return *this;
}

TFileStream::~TFileStream() {
    if (FFd >= 0)
        ::close(FFd);
}

std::int64_t TFileStream::Size() const {
    struct stat info {};
    if (::fstat(FFd, &info) != 0)
        throw EFOpenError(FPath);
    return info.st_size;
}

std::string TFileStream::ReadBlock(std::int64_t offset, std::int64_t length) const {
    const std::int64_t size = Size();
    if (offset < 0 || length <= 0 || offset >= size)
        return {};
    length = std::min(length, size - offset);
    std::string block;
    ReserveLargeBuffer(block, static_cast<std::size_t>(length));
    block.resize(static_cast<std::size_t>(length));
    std::size_t done = 0;
    while (done < block.size()) {
        const ssize_t got = ::pread(FFd, block.data() + done, block.size() - done,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // the file shrank meanwhile: keep what exists
        done += static_cast<std::size_t>(got);
    }
    block.resize(done);
    return block;
}

std::optional<TNewFile> TNewFile::CreateNew(const std::string& path) {
    const int fd = ::open(path.c_str(), OpenFlags(O_WRONLY | O_CREAT | O_EXCL), 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return std::nullopt;
        throw EFCreateError(path);
    }
    return TNewFile(fd, path, false);
}

TNewFile TNewFile::CreateOrReplace(const std::string& path) {
    const int fd = ::open(path.c_str(), OpenFlags(O_WRONLY | O_CREAT | O_TRUNC), 0666);
    if (fd < 0)
        throw EFCreateError(path);
    return TNewFile(fd, path, true);
}

TNewFile::TNewFile(TNewFile&& other) noexcept
    : FFd(std::exchange(other.FFd, -1)), FPath(std::move(other.FPath)),
      FCommitted(std::exchange(other.FCommitted, true)) {}

TNewFile::~TNewFile() {
    if (FFd >= 0)
        ::close(FFd);
    if (!FCommitted)
        ::unlink(FPath.c_str());
}

void TNewFile::FailWrite() {
    throw EWriteError(FPath);
}

void TNewFile::Write(std::string_view bytes) {
    const std::string_view one[] = {bytes};
    WriteGather(one);
}

void TNewFile::WriteGather(std::span<const std::string_view> pieces) {
    // Batches of at most IOV_MAX pieces; a short write resumes where it stopped.
    std::vector<iovec> batch;
    batch.reserve(std::min<std::size_t>(pieces.size(), IOV_MAX));
    std::size_t next = 0;
    while (next < pieces.size()) {
        batch.clear();
        while (next < pieces.size() && batch.size() < IOV_MAX) {
            if (!pieces[next].empty())
                batch.push_back(
                    {const_cast<char*>(pieces[next].data()), pieces[next].size()}); // NOLINT
            ++next;
        }
        std::size_t first = 0;
        while (first < batch.size()) {
            const ssize_t wrote =
                ::writev(FFd, batch.data() + first, static_cast<int>(batch.size() - first));
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                FailWrite();
            auto left = static_cast<std::size_t>(wrote);
            while (first < batch.size() && left >= batch[first].iov_len)
                left -= batch[first++].iov_len;
            if (first < batch.size()) {
                batch[first].iov_base = static_cast<char*>(batch[first].iov_base) + left;
                batch[first].iov_len -= left;
            }
        }
    }
}

void TNewFile::SetModificationTime(std::time_t when) {
    const timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    ::futimens(FFd, times); // a file time that cannot be set is no reason to lose the file
}

void TNewFile::Commit() {
    const int fd = std::exchange(FFd, -1);
    if (::close(fd) != 0 && errno != EINTR)
        FailWrite();
    FCommitted = true;
}

} // namespace velmora

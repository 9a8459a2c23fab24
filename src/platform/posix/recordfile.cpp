#include "platform/recordfile.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stampwell::platform {

namespace {

// Records are copied into a shared mapping of the file, a piece at a time;
// each piece's room is allocated first, so a full disk is an error of
// Append, never a fault on a write to the mapping.
constexpr std::size_t kPiece = 1 << 20;

} // namespace

struct RecordFile::State {
    int fd = -1;
    std::mutex mutex;
    char* piece = nullptr;
    std::size_t pieceSize = 0;
    std::uint64_t pieceStart = 0;
    std::uint64_t used = 0;

    void Unmap() {
        if (piece != nullptr)
            munmap(piece, pieceSize);
        piece = nullptr;
        pieceSize = 0;
    }

    SysError MapFrom(std::uint64_t offset, std::size_t least) {
        Unmap();
        const auto page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
        pieceStart = offset - offset % page;
        pieceSize = kPiece;
        while (pieceSize < least + (offset - pieceStart))
            pieceSize *= 2;
        if (const int code =
                posix_fallocate(fd, static_cast<off_t>(pieceStart), static_cast<off_t>(pieceSize));
            code != 0)
            return MakeSysError(code);
        void* mapped = mmap(nullptr, pieceSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd,
                            static_cast<off_t>(pieceStart));
        if (mapped == MAP_FAILED) {
            pieceSize = 0;
            return LastSysError();
        }
        piece = static_cast<char*>(mapped);
        return {};
    }
};

RecordFile::RecordFile() : state_(std::make_unique<State>()) {}

RecordFile::~RecordFile() {
    Close();
}

SysError RecordFile::Create(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return LastSysError();
    flock(fd, LOCK_EX | LOCK_NB);
    state_->fd = fd;
    return {};
}

SysError RecordFile::Append(std::string_view bytes) {
    State& state = *state_;
    const std::lock_guard lock(state.mutex);
    if (state.fd < 0)
        return MakeSysError(EBADF);
    if (state.piece == nullptr || state.used + bytes.size() > state.pieceStart + state.pieceSize) {
        if (SysError error = state.MapFrom(state.used, bytes.size()); error.Failed())
            return error;
    }
    std::memcpy(state.piece + (state.used - state.pieceStart), bytes.data(), bytes.size());
    state.used += bytes.size();
    return {};
}

SysError RecordFile::Sync() {
    State& state = *state_;
    const std::lock_guard lock(state.mutex);
    if (state.piece != nullptr && msync(state.piece, state.pieceSize, MS_SYNC) != 0)
        return LastSysError();
    if (state.fd >= 0 && fdatasync(state.fd) != 0)
        return LastSysError();
    return {};
}

SysError RecordFile::Close() {
    State& state = *state_;
    const std::lock_guard lock(state.mutex);
    if (state.fd < 0)
        return {};
    state.Unmap();
    SysError error;
    if (ftruncate(state.fd, static_cast<off_t>(state.used)) != 0 || fsync(state.fd) != 0)
        error = LastSysError();
    close(state.fd);
    state.fd = -1;
    return error;
}

bool IsRecordFileInUse(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool inUse = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return inUse;
}

SysError AppendToFile(const std::string& path, std::string_view bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return LastSysError();
    SysError error;
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            error = LastSysError();
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    if (!error.Failed() && fsync(fd) != 0)
        error = LastSysError();
    close(fd);
    return error;
}

namespace {

SysError ReadAt(int fd, std::uint64_t offset, std::size_t count, std::string& bytes) {
    bytes.resize(count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            pread(fd, bytes.data() + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return LastSysError();
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return {};
}

} // namespace

SysError ReadFileEnds(const std::string& path, std::size_t head, std::size_t tail,
                      std::string& first, std::string& last, std::uint64_t& size) {
    first.clear();
    last.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return LastSysError();
    struct stat info {};
    SysError error;
    if (fstat(fd, &info) != 0)
        error = LastSysError();
    else if (!S_ISREG(info.st_mode))
        error = MakeSysError(EINVAL);
    if (!error.Failed()) {
        size = static_cast<std::uint64_t>(info.st_size);
        if (size <= head + tail) {
            error = ReadAt(fd, 0, static_cast<std::size_t>(size), first);
        } else {
            error = ReadAt(fd, 0, head, first);
            if (!error.Failed())
                error = ReadAt(fd, size - tail, tail, last);
        }
    }
    close(fd);
    return error;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr)
        return names;
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(listing);
    return names;
}

std::uint64_t FileSize(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

SysError RemoveFile(const std::string& path) {
    return unlink(path.c_str()) == 0 ? SysError{} : LastSysError();
}

} // namespace stampwell::platform

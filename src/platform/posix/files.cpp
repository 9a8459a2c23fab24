#include "platform/files.h"

#include "platform/item.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace stampwell::platform {

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports whether the close failed (a late write error).
    SysError Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? SysError{} : LastSysError();
    }

private:
    int fd_;
};

SysError WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return LastSysError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

// The file a write lands in: a link is followed, so the link stays a link. A
// link that leads nowhere (or round in a loop) is refused rather than
// replaced by a file.
SysError WriteTarget(const std::string& path, std::string& target) {
    target = path;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return {};
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    if (!real) {
        SysError error = LastSysError();
        error.text = "The link leads to nothing usable (" + error.text + ")";
        return error;
    }
    target = real.get();
    return {};
}

// Reads from an open file to its end; more than `limit` bytes is FileTooLarge.
SysError ReadOpened(int fd, std::string& bytes, std::size_t limit) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return LastSysError();
        }
        if (got == 0)
            return {};
        if (bytes.size() + static_cast<std::size_t>(got) > limit)
            return FileTooLarge();
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

// Whether the path names something (links followed), and whether a folder. A
// path too long for stat is reached through the folder that holds the item.
bool Exists(const std::string& path, bool& isFolder) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        isFolder = S_ISDIR(info.st_mode);
        return true;
    }
    if (errno != ENAMETOOLONG)
        return false;
    OpenFolder folder;
    std::string name;
    ItemState state;
    if (OpenFolder::OpenParent(path, true, folder, name).Failed() ||
        ReadItemState(folder, name, ItemType::File, false, state).Failed())
        return false;
    isFolder = state.kind == ItemKind::Folder;
    return true;
}

} // namespace

bool PathExists(const std::string& path) {
    bool isFolder = false;
    return Exists(path, isFolder);
}

bool IsFolder(const std::string& path) {
    bool isFolder = false;
    return Exists(path, isFolder) && isFolder;
}

SysError CreateFolderPath(const std::string& path) {
    if (path.empty())
        return MakeSysError(ENOENT);
    // Each prefix that ends before a separator is a folder on the way down.
    for (std::size_t end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != '/')
            continue;
        const std::string prefix = path.substr(0, end);
        if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
            const SysError error = LastSysError();
            if (!IsFolder(prefix))
                return error;
        }
    }
    return IsFolder(path) ? SysError{} : MakeSysError(ENOTDIR);
}

SysError ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return LastSysError();
    return ReadOpened(fd.get(), bytes, bytes.max_size());
}

SysError NotARegularFile() {
    return {EINVAL, "Not a regular file (a pipe, a device or a socket)"};
}

SysError FileTooLarge() {
    return {EFBIG, "The file is larger than " + std::to_string(kSettingsFileLimit >> 20) +
                       " MiB, too large for a settings file"};
}

SysError ReadSettingsFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Without O_NONBLOCK, opening a pipe would wait for a writer.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return LastSysError();
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return LastSysError();
    if (S_ISDIR(info.st_mode))
        return MakeSysError(EISDIR);
    if (!S_ISREG(info.st_mode))
        return NotARegularFile();
    if (static_cast<std::uint64_t>(info.st_size) > kSettingsFileLimit)
        return FileTooLarge();
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    const SysError error = ReadOpened(fd.get(), bytes, kSettingsFileLimit);
    if (error.Failed())
        bytes.clear();
    return error;
}

SysError WriteFileAtomically(const std::string& path, std::string_view bytes) {
    std::string target;
    if (const SysError error = WriteTarget(path, target); error.Failed())
        return error;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return MakeSysError(EISDIR);
    if (exists && !S_ISREG(old.st_mode))
        return NotARegularFile();
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return LastSysError();
    // Never readable by others in between: the old file's mode, owner-only for a new one.
    const mode_t mode = exists ? old.st_mode & 07777 : 0600;

    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int created = -1;
    for (int attempt = 0; attempt < 100 && created < 0; ++attempt) {
        temporary = folder + "." + name + ".tmp-" + std::to_string(::getpid()) + "-" +
                    std::to_string(counter++);
        created = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 0777);
        if (created < 0 && errno != EEXIST)
            return LastSysError();
    }
    if (created < 0)
        return MakeSysError(EEXIST);
    Descriptor fd(created);

    SysError error = WriteAll(fd.get(), bytes);
    // The owner first: a change of owner clears the set-user-ID bits that the mode then sets.
    struct stat made {};
    if (!error.Failed() && ::fstat(fd.get(), &made) != 0)
        error = LastSysError();
    if (!error.Failed() && exists && (made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
        ::fchown(fd.get(), old.st_uid, old.st_gid) != 0)
        error = LastSysError();
    if (!error.Failed() && ::fchmod(fd.get(), mode) != 0)
        error = LastSysError();
    if (!error.Failed() && ::fsync(fd.get()) != 0)
        error = LastSysError();
    if (!error.Failed())
        error = fd.Close();
    if (!error.Failed() && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = LastSysError();
    if (error.Failed())
        ::unlink(temporary.c_str());
    return error;
}

} // namespace stampwell::platform

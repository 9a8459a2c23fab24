#include "platform/files.h"

#include "platform/item.h"

#include <atomic>
#include <cerrno>
#include <climits>
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

// The file a write lands in: a link is followed, so the link stays a link.
std::string ResolvedTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    return real ? std::string(real.get()) : path;
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
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return LastSysError();
        }
        if (got == 0)
            return {};
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

SysError WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string target = ResolvedTarget(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return MakeSysError(EISDIR);
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return LastSysError();

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
        created = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (created < 0 && errno != EEXIST)
            return LastSysError();
    }
    if (created < 0)
        return MakeSysError(EEXIST);
    Descriptor fd(created);

    SysError error = WriteAll(fd.get(), bytes);
    if (!error.Failed() && exists && ::fchmod(fd.get(), old.st_mode & 07777) != 0)
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

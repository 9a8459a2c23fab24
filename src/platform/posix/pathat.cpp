#include "platform/posix/pathat.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace stampwell::platform::posix {

namespace {

constexpr int kPathFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

} // namespace

int OpenFolderPath(const std::string& folder, SysError& error) {
    if (folder.size() < PATH_MAX) {
        const int fd = openat(AT_FDCWD, folder.empty() ? "." : folder.c_str(), kPathFlags);
        if (fd < 0)
            error = LastSysError();
        return fd;
    }
    // Every name is at most NAME_MAX bytes, so a piece of up to PATH_MAX - 1
    // bytes that ends at a slash always exists.
    const std::string_view whole(folder);
    std::size_t pos = 0;
    int fd = openat(AT_FDCWD, whole.front() == '/' ? "/" : ".", kPathFlags);
    std::string piece;
    while (fd >= 0) {
        while (pos < whole.size() && whole[pos] == '/')
            ++pos;
        if (pos == whole.size())
            return fd;
        std::size_t end = whole.size();
        if (end - pos >= PATH_MAX) {
            const std::size_t slash = whole.rfind('/', pos + PATH_MAX - 1);
            if (slash == std::string_view::npos || slash <= pos) {
                close(fd);
                error = MakeSysError(ENAMETOOLONG);
                return -1;
            }
            end = slash;
        }
        piece.assign(whole.substr(pos, end - pos));
        const int next = openat(fd, piece.c_str(), kPathFlags);
        if (next < 0)
            error = LastSysError();
        close(fd);
        fd = next;
        pos = end;
    }
    if (!error.Failed())
        error = LastSysError();
    return -1;
}

PathAt::PathAt(const std::string& path) : folder_(AT_FDCWD) {
    if (path.size() < PATH_MAX) {
        name_ = path.c_str();
        whole_ = name_;
        return;
    }
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    const std::size_t slash = path.rfind('/', end - 1);
    longName_ = path.substr(slash + 1, end - slash - 1);
    name_ = longName_.c_str();
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : path.substr(0, slash);
    folder_ = OpenFolderPath(folder, error_);
    if (folder_ < 0) {
        folder_ = AT_FDCWD;
        return;
    }
    procPath_ = "/proc/self/fd/" + std::to_string(folder_) + "/" + longName_;
    whole_ = procPath_.c_str();
}

PathAt::~PathAt() {
    if (folder_ != AT_FDCWD)
        close(folder_);
}

} // namespace stampwell::platform::posix

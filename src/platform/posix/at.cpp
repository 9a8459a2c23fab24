#include "platform/posix/at.h"

#include <fcntl.h>
#include <sys/xattr.h>

namespace stampwell::platform::posix {

At::At(int folder, const std::string& name) : folder_(folder), name_(name), self_(name.empty()) {}

const char* At::ProcPath() const {
    if (procPath_.empty()) {
        procPath_ = "/proc/self/fd/" + std::to_string(folder_);
        if (!self_)
            procPath_ += "/" + name_;
    }
    return procPath_.c_str();
}

int At::Stat(unsigned mask, struct statx& info) const {
    return statx(folder_, name_.c_str(), AT_SYMLINK_NOFOLLOW | (self_ ? AT_EMPTY_PATH : 0), mask,
                 &info);
}

// The folder itself is reached by following its /proc link, which names the
// open folder; any other item by its name with the last link not followed.
int At::ChangeTimes(const timespec times[2]) const {
    if (self_)
        return utimensat(AT_FDCWD, ProcPath(), times, 0);
    return utimensat(folder_, name_.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

int At::ChangeMode(mode_t mode) const {
    if (self_)
        return fchmodat(AT_FDCWD, ProcPath(), mode, 0);
    return fchmodat(folder_, name_.c_str(), mode, AT_SYMLINK_NOFOLLOW);
}

ssize_t At::GetXattr(const char* key, void* value, std::size_t size) const {
    return self_ ? getxattr(ProcPath(), key, value, size) : lgetxattr(ProcPath(), key, value, size);
}

int At::SetXattr(const char* key, const void* value, std::size_t size) const {
    return self_ ? setxattr(ProcPath(), key, value, size, 0)
                 : lsetxattr(ProcPath(), key, value, size, 0);
}

int At::RemoveXattr(const char* key) const {
    return self_ ? removexattr(ProcPath(), key) : lremovexattr(ProcPath(), key);
}

} // namespace stampwell::platform::posix

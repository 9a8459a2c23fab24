#pragma once

#include <string>
#include <sys/stat.h>
#include <sys/types.h>

// The system calls on one item, given as an open folder's descriptor and a
// single name in it (an empty name is the folder itself). Nothing is
// followed: a link named is the link. Calls without an *at form reach the
// item through /proc/self/fd, which names the open folder itself, not a path
// that could be resolved elsewhere.
namespace stampwell::platform::posix {

class At {
public:
    At(int folder, const std::string& name);

    bool IsFolderItself() const { return self_; }

    // statx of the item; 0 or -1 with errno.
    int Stat(unsigned mask, struct statx& info) const;
    // utimensat: times[0] access, times[1] modification.
    int ChangeTimes(const timespec times[2]) const;
    int ChangeMode(mode_t mode) const;
    // The extended attribute calls (getxattr and friends).
    ssize_t GetXattr(const char* key, void* value, std::size_t size) const;
    int SetXattr(const char* key, const void* value, std::size_t size) const;
    int RemoveXattr(const char* key) const;

private:
    const char* ProcPath() const;

    int folder_;
    const std::string& name_;
    bool self_;
    mutable std::string procPath_; // made when first needed
};

} // namespace stampwell::platform::posix

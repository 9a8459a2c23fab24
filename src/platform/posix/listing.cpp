#include "platform/listing.h"

#include "platform/posix/pathat.h"
#include "platform/posix/wildcard.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stampwell::platform {

struct FolderListing::State {
    explicit State(const std::string& pattern) : pattern(pattern) {}
    ~State() {
        if (folder != nullptr)
            closedir(folder);
    }

    posix::WildcardPattern pattern;
    DIR* folder = nullptr;
};

FolderListing::FolderListing(const std::string& folder, const std::string& pattern)
    : state_(std::make_unique<State>(pattern)) {
    const posix::PathAt at(folder);
    if (at.Error().Failed()) {
        error_ = at.Error();
        return;
    }
    const int fd = openat(at.Folder(), at.Name(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error_ = LastSysError();
        return;
    }
    state_->folder = fdopendir(fd);
    if (state_->folder == nullptr) {
        error_ = LastSysError();
        close(fd);
    }
}

FolderListing::~FolderListing() = default;

bool FolderListing::Next(ListedEntry& entry) {
    DIR* const folder = state_->folder;
    if (folder == nullptr)
        return false;
    for (;;) {
        errno = 0;
        const dirent* const found = readdir(folder);
        if (found == nullptr) {
            if (errno != 0)
                error_ = LastSysError();
            return false;
        }
        const char* const name = found->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        const std::size_t length = std::strlen(name);
        if (!state_->pattern.Matches({name, length}))
            continue;
        unsigned char type = found->d_type;
        if (type == DT_UNKNOWN) {
            // Some file systems leave the type open; ask without following links.
            struct stat info {};
            if (fstatat(dirfd(folder), name, &info, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
            else if (errno == ENOENT)
                continue; // gone since it was listed
        }
        entry.name.assign(name, length);
        entry.isFolder = type == DT_DIR;
        entry.isLink = type == DT_LNK;
        entry.hasDetails = false;
        entry.attributes = 0;
        entry.size = 0;
        entry.times = {};
        return true;
    }
}

} // namespace stampwell::platform

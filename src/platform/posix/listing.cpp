#include "platform/listing.h"

#include "platform/wildcard.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace stampwell::platform {

struct FolderListing::State {
    struct Entry {
        std::string name;
        unsigned char type;
    };
    std::vector<Entry> entries;
    std::size_t next = 0;
};

namespace {

// A descriptor of its own for reading the folder. O_NOATIME is refused
// (EPERM) to whoever neither owns the folder nor may act as its owner.
int OpenForReading(int folder) {
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    const int fd = openat(folder, ".", kFlags | O_NOATIME);
    if (fd >= 0 || errno != EPERM)
        return fd;
    return openat(folder, ".", kFlags);
}

SysError ReadEntries(int folder, const std::string& pattern, FolderListing::State& state) {
    const int fd = OpenForReading(folder);
    if (fd < 0)
        return LastSysError();
    DIR* const listing = fdopendir(fd);
    if (listing == nullptr) {
        const SysError error = LastSysError();
        close(fd);
        return error;
    }
    SysError error;
    WildcardPattern matcher(pattern);
    for (;;) {
        errno = 0;
        const dirent* const found = readdir(listing);
        if (found == nullptr) {
            if (errno != 0)
                error = LastSysError();
            break;
        }
        const char* const name = found->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        const std::size_t length = std::strlen(name);
        if (!matcher.MatchesEveryName() && !matcher.Matches({name, length}))
            continue;
        unsigned char type = found->d_type;
        if (type == DT_UNKNOWN) {
            // Some file systems leave the type open; ask without following links.
            struct stat info {};
            if (fstatat(dirfd(listing), name, &info, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
            else if (errno == ENOENT)
                continue; // gone since it was listed
        }
        state.entries.push_back({std::string(name, length), type});
    }
    closedir(listing);
    std::sort(state.entries.begin(), state.entries.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    return error;
}

} // namespace

FolderListing::FolderListing(const std::string& folder, const std::string& pattern)
    : state_(std::make_unique<State>()) {
    OpenFolder opened;
    error_ = OpenFolder::Open(folder, opened);
    if (!error_.Failed())
        error_ = ReadEntries(static_cast<int>(opened.Native()), pattern, *state_);
}

FolderListing::FolderListing(const OpenFolder& folder, const std::string& pattern)
    : state_(std::make_unique<State>()) {
    error_ = ReadEntries(static_cast<int>(folder.Native()), pattern, *state_);
}

FolderListing::~FolderListing() = default;

bool FolderListing::Next(ListedEntry& entry) {
    State& state = *state_;
    if (state.next == state.entries.size())
        return false;
    State::Entry& found = state.entries[state.next++];
    entry.name = std::move(found.name);
    entry.isFolder = found.type == DT_DIR;
    entry.isLink = found.type == DT_LNK;
    entry.hasDetails = false;
    entry.attributes = 0;
    entry.size = 0;
    entry.times = {};
    return true;
}

} // namespace stampwell::platform

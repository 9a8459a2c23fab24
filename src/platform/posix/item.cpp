#include "platform/item.h"

#include "platform/posix/itemops.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string_view>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace stampwell::platform {

namespace {

// A folder is held as an O_PATH descriptor: opening one needs no permission
// to read it and touches none of its times; the listing opens its own.
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

ItemIdentity IdentityOf(const struct statx& info) {
    return {makedev(info.stx_dev_major, info.stx_dev_minor), info.stx_ino};
}

ItemKind KindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return ItemKind::Folder;
    if (S_ISLNK(mode))
        return ItemKind::Link;
    return S_ISREG(mode) ? ItemKind::File : ItemKind::Other;
}

SysError IdentityOfDescriptor(int fd, ItemIdentity& identity) {
    struct statx info {};
    if (statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_INO, &info) != 0)
        return LastSysError();
    identity = IdentityOf(info);
    return {};
}

// Opens a folder of any path length, links followed; -1 and the reason on
// failure. Every name is at most NAME_MAX bytes, so a piece of up to
// PATH_MAX - 1 bytes that ends at a slash always exists.
int OpenFolderPath(const std::string& folder, SysError& error) {
    if (folder.size() < PATH_MAX) {
        const int fd = openat(AT_FDCWD, folder.empty() ? "." : folder.c_str(), kFolderFlags);
        if (fd < 0)
            error = LastSysError();
        return fd;
    }
    const std::string_view whole(folder);
    std::size_t pos = 0;
    int fd = openat(AT_FDCWD, whole.front() == '/' ? "/" : ".", kFolderFlags);
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
        const int next = openat(fd, piece.c_str(), kFolderFlags);
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

// The path of what a descriptor names, as the system knows it now.
SysError PathOfDescriptor(int fd, std::string& path) {
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    std::string buffer(PATH_MAX, '\0');
    const ssize_t size = readlink(link.c_str(), buffer.data(), buffer.size());
    if (size < 0)
        return LastSysError();
    if (static_cast<std::size_t>(size) >= buffer.size())
        return MakeSysError(ENAMETOOLONG);
    path.assign(buffer, 0, static_cast<std::size_t>(size));
    return {};
}

} // namespace

void OpenFolder::Close() {
    if (handle_ != kNone)
        close(static_cast<int>(handle_));
    handle_ = kNone;
}

SysError OpenFolder::Open(const std::string& path, OpenFolder& folder) {
    SysError error;
    const int fd = OpenFolderPath(path, error);
    if (fd < 0)
        return error;
    OpenFolder opened;
    opened.handle_ = fd;
    if (error = IdentityOfDescriptor(fd, opened.identity_); error.Failed())
        return error;
    folder = std::move(opened);
    return {};
}

SysError OpenFolder::OpenParent(const std::string& path, bool followLast, OpenFolder& folder,
                                std::string& name) {
    if (path.empty())
        return MakeSysError(ENOENT);
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    if (end == 1 && path[0] == '/') {
        name.clear();
        return Open("/", folder);
    }
    const std::size_t slash = path.rfind('/', end - 1);
    const std::string last = path.substr(slash == std::string::npos ? 0 : slash + 1,
                                         slash == std::string::npos ? end : end - slash - 1);
    const std::string above = slash == std::string::npos ? std::string(".")
                              : slash == 0               ? std::string("/")
                                                         : path.substr(0, slash);
    OpenFolder parent;
    if (SysError error = Open(above, parent); error.Failed())
        return error;
    if (followLast) {
        struct statx info {};
        if (statx(static_cast<int>(parent.handle_), last.c_str(), AT_SYMLINK_NOFOLLOW, STATX_TYPE,
                  &info) == 0 &&
            S_ISLNK(info.stx_mode)) {
            // The link named last: the item is what it names, found through
            // the link once and then checked to be the very item reached again.
            const int target =
                openat(static_cast<int>(parent.handle_), last.c_str(), O_PATH | O_CLOEXEC);
            if (target < 0)
                return LastSysError();
            ItemIdentity identity;
            std::string resolved;
            SysError error = IdentityOfDescriptor(target, identity);
            if (!error.Failed())
                error = PathOfDescriptor(target, resolved);
            close(target);
            if (error.Failed())
                return error;
            return OpenParentOfTarget(resolved, identity, folder, name);
        }
    }
    folder = std::move(parent);
    name = last;
    return {};
}

SysError OpenFolder::OpenChild(const std::string& name, OpenFolder& child) const {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return MakeSysError(EINVAL);
    const int fd = openat(static_cast<int>(handle_), name.c_str(), kFolderFlags | O_NOFOLLOW);
    if (fd < 0)
        return LastSysError();
    OpenFolder opened;
    opened.handle_ = fd;
    if (SysError error = IdentityOfDescriptor(fd, opened.identity_); error.Failed())
        return error;
    child = std::move(opened);
    return {};
}

SysError ReadItemState(const OpenFolder& folder, const std::string& name, ItemType,
                       bool withAttributes, ItemState& state, bool withStoredCreation) {
    const posix::At item(static_cast<int>(folder.Native()), name);
    struct statx info {};
    if (item.Stat(posix::kStatMask, info) != 0)
        return LastSysError();
    ItemState read;
    read.kind = KindOf(info.stx_mode);
    read.identity = IdentityOf(info);
    read.mode = info.stx_mode;
    if (withAttributes) {
        if (SysError error = posix::ReadAttributeWord(item, info, read.attributes, read.stored);
            error.Failed())
            return error;
    }
    // Asked neither for the attributes nor for a stored creation time: as if
    // none were stored.
    static const std::optional<std::string> kNoneLookedFor;
    posix::TimesFromStatx(item, info, read.times,
                          withAttributes       ? &read.stored
                          : withStoredCreation ? nullptr
                                               : &kNoneLookedFor);
    state = read;
    return {};
}

SysError WriteItemTimesAt(const OpenFolder& folder, const std::string& name, ItemType,
                          const TimesUpdate& update) {
    return posix::WriteTimes(posix::At(static_cast<int>(folder.Native()), name), update);
}

SysError WriteAttributesAt(const OpenFolder& folder, const std::string& name, ItemType,
                           std::uint32_t word) {
    return posix::WriteAttributeWord(posix::At(static_cast<int>(folder.Native()), name), word);
}

SysError RestoreAttributesAt(const OpenFolder& folder, const std::string& name, ItemType,
                             const ItemState& before) {
    return posix::RestoreAttributeStore(posix::At(static_cast<int>(folder.Native()), name),
                                        before.attributes, before.mode, before.stored);
}

} // namespace stampwell::platform

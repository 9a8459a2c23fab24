#include "platform/itemtimes.h"

#include "platform/posix/ntfs.h"
#include "platform/posix/pathat.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace stampwell::platform {

namespace {

FileTime FromStatx(const statx_timestamp& t) {
    return {static_cast<std::int64_t>(t.tv_sec), t.tv_nsec};
}

timespec ToTimespec(const std::optional<FileTime>& time) {
    // A time that does not change is left to the kernel (UTIME_OMIT): it keeps
    // its exact value, needs no second read, and a change another program makes
    // meanwhile is not overwritten with a stale value.
    if (!time)
        return {0, UTIME_OMIT};
    return {static_cast<time_t>(time->seconds), static_cast<long>(time->nanoseconds)};
}

} // namespace

SysError ReadItemTimes(const std::string& path, ItemType, ItemTimes& times) {
    const posix::PathAt at(path);
    if (at.Error().Failed())
        return at.Error();
    struct statx info {};
    if (statx(at.Folder(), at.Name(), AT_SYMLINK_NOFOLLOW, STATX_ATIME | STATX_MTIME | STATX_BTIME,
              &info) != 0)
        return LastSysError();
    ItemTimes read;
    read.modified = FromStatx(info.stx_mtime);
    read.accessed = FromStatx(info.stx_atime);
    if (info.stx_mask & STATX_BTIME) {
        read.created = FromStatx(info.stx_btime);
    } else {
        // ntfs-3g keeps a creation time but FUSE does not report it as btime.
        FileTime created;
        if (!posix::ReadNtfsCreationTime(at.WholePath(), created).Failed())
            read.created = created;
    }
    times = read;
    return {};
}

SysError WriteItemTimes(const std::string& path, ItemType, const TimesUpdate& update) {
    const posix::PathAt at(path);
    if (at.Error().Failed())
        return at.Error();
    // The creation time first: where it cannot be set, nothing is changed.
    if (update.created) {
        if (auto error = posix::WriteNtfsCreationTime(at.WholePath(), *update.created);
            error.Failed())
            return error;
    }
    if (!update.modified && !update.accessed)
        return {};
    const timespec times[2] = {ToTimespec(update.accessed), ToTimespec(update.modified)};
    if (utimensat(at.Folder(), at.Name(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return LastSysError();
    return {};
}

} // namespace stampwell::platform

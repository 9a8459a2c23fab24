#include "platform/item.h"
#include "platform/posix/dosattrib.h"
#include "platform/posix/itemops.h"
#include "platform/posix/ntfs.h"

#include <cerrno>
#include <fcntl.h>

namespace stampwell::platform::posix {

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

void TimesFromStatx(const At& item, const struct statx& info, ItemTimes& times,
                    const std::optional<std::string>* stored) {
    times.modified = FromStatx(info.stx_mtime);
    times.accessed = FromStatx(info.stx_atime);
    times.created.reset();
    FileTime created;
    if (!(info.stx_mask & STATX_BTIME) && !ReadNtfsCreationTime(item, created).Failed()) {
        times.created = created;
        return;
    }
    if (stored == nullptr) {
        if (!S_ISLNK(info.stx_mode)) // a link keeps no user attributes
            times.created = ReadStoredCreationTime(item);
    } else if (*stored) {
        if (const auto ticks = ParseDosAttrib(**stored).created)
            times.created = FromNtfsTicks(*ticks);
    }
    if (!times.created && (info.stx_mask & STATX_BTIME))
        times.created = FromStatx(info.stx_btime);
}

SysError WriteTimes(const At& item, const TimesUpdate& update) {
    // The creation time first: where it cannot be set, nothing is changed.
    if (update.created) {
        SysError error = WriteNtfsCreationTime(item, *update.created);
        if (error.code == ENOTSUP || error.code == ENODATA)
            error = WriteStoredCreationTime(item, *update.created);
        if (error.Failed())
            return error;
    }
    if (!update.modified && !update.accessed)
        return {};
    const timespec times[2] = {ToTimespec(update.accessed), ToTimespec(update.modified)};
    if (item.ChangeTimes(times) != 0)
        return LastSysError();
    return {};
}

} // namespace stampwell::platform::posix

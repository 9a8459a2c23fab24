#include "platform/attributes.h"

#include "platform/posix/dosattrib.h"
#include "platform/posix/itemops.h"
#include "platform/posix/ntfs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace stampwell::platform::posix {

namespace {

// The attribute word lives where Wine and Samba look for it.
constexpr char kDosAttributes[] = "user.DOSATTRIB";
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// A file system without user attributes has none to read: the value reads
// as absent, and writing it fails with its reason.
SysError ReadDosValue(const At& item, DosAttrib& value) {
    std::string buffer(128, '\0');
    ssize_t size = item.GetXattr(kDosAttributes, buffer.data(), buffer.size());
    for (int attempt = 0; size < 0 && errno == ERANGE && attempt < 3; ++attempt) {
        // Longer than Samba writes: kept byte for byte all the same.
        const ssize_t needed = item.GetXattr(kDosAttributes, nullptr, 0);
        if (needed < 0)
            break;
        buffer.resize(static_cast<std::size_t>(needed) + 1);
        size = item.GetXattr(kDosAttributes, buffer.data(), buffer.size());
    }
    if (size >= 0) {
        buffer.resize(static_cast<std::size_t>(size));
        value = ParseDosAttrib(std::move(buffer));
        return {};
    }
    const int code = errno;
    if (code == ENODATA || code == ENOTSUP) {
        value = {};
        return {};
    }
    return MakeSysError(code);
}

bool IsNotNtfs(const SysError& error) {
    return error.code == ENOTSUP || error.code == ENODATA;
}

// The process's umask, read without changing it (umask() would, for a moment,
// for every thread).
mode_t CurrentUmask() {
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr)
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask);
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

SysError ChangeMode(const At& item, mode_t mode) {
    if (item.ChangeMode(mode & 07777) != 0)
        return LastSysError();
    return {};
}

struct ItemInfo {
    mode_t mode = 0;
    bool folder = false;
    bool link = false;
    bool readOnly = false;
};

ItemInfo InfoOf(const struct statx& status) {
    ItemInfo info;
    info.mode = status.stx_mode;
    info.folder = S_ISDIR(info.mode);
    info.link = S_ISLNK(info.mode);
    info.readOnly = !info.link && (info.mode & kWriteBits) == 0;
    return info;
}

// The attribute word NTFS keeps marks folders with its own index bit; the
// program knows them by the Directory bit.
constexpr std::uint32_t kNtfsIndexPresent = 0x10000000;
// NTFS reports a file without attributes as Normal, as Windows does, and
// refuses Normal together with any other bit.
constexpr std::uint32_t kNtfsNormal = 0x80;

std::uint32_t FromNtfs(std::uint32_t word, bool folder) {
    word &= ~kNtfsIndexPresent;
    return folder ? word | kAttrDirectory : word & ~kAttrDirectory;
}

// Writes user.DOSATTRIB (nothing: removes it). The kernel asks for write
// permission to change it; the owner of a read-only item gets it for that
// moment, as Windows lets a read-only file be hidden.
SysError WriteDosValueOf(const At& at, const ItemInfo& info,
                         const std::optional<std::string>& bytes) {
    const auto write = [&]() -> SysError {
        if ((bytes ? at.SetXattr(kDosAttributes, bytes->data(), bytes->size())
                   : at.RemoveXattr(kDosAttributes)) != 0)
            return LastSysError();
        return {};
    };
    SysError error = write();
    if (error.code != EACCES || !info.readOnly)
        return error;
    if (ChangeMode(at, info.mode | S_IWUSR).Failed())
        return error;
    error = write();
    if (const SysError restored = ChangeMode(at, info.mode); !error.Failed())
        error = restored;
    return error;
}

// The value with a new word and creation time, in the form found; a damaged
// value is never written over with less than it holds.
SysError RewriteDosValue(const At& at, const ItemInfo& info, const DosAttrib& value,
                         std::uint32_t word, std::optional<std::uint64_t> created) {
    const std::optional<std::string> bytes = RewriteDosAttrib(value, word, created);
    if (!bytes)
        return MakeSysError(EBADMSG);
    return WriteDosValueOf(at, info, *bytes);
}

} // namespace

SysError ReadAttributeWord(const At& at, const struct statx& status, std::uint32_t& word,
                           std::optional<std::string>& stored) {
    const ItemInfo info = InfoOf(status);
    stored.reset();
    std::uint32_t ntfs = 0;
    const SysError ntfsError = ReadNtfsAttributes(at, ntfs);
    if (!ntfsError.Failed()) {
        word = FromNtfs(ntfs, info.folder);
        return {};
    }
    if (!IsNotNtfs(ntfsError))
        return ntfsError;
    DosAttrib dos;
    if (SysError error = ReadDosValue(at, dos); error.Failed())
        return error;
    // Read-only is set when either the stored word or the mode says so.
    word = (dos.word & ~kAttrDirectory) | (info.readOnly ? kAttrReadOnly : 0) |
           (info.folder ? kAttrDirectory : 0);
    if (dos.form != DosAttrib::Form::None)
        stored = std::move(dos.bytes);
    return {};
}

SysError WriteAttributeWord(const At& at, std::uint32_t word) {
    struct statx status {};
    if (at.Stat(STATX_TYPE | STATX_MODE, status) != 0)
        return LastSysError();
    ItemInfo info = InfoOf(status);
    std::uint32_t ntfs = 0;
    const SysError ntfsError = ReadNtfsAttributes(at, ntfs);
    if (!ntfsError.Failed()) {
        std::uint32_t written = word & ~kAttrDirectory;
        if ((written & ~kNtfsNormal) != 0)
            written &= ~kNtfsNormal;
        return WriteNtfsAttributes(at, (ntfs & kNtfsIndexPresent) | written);
    }
    if (!IsNotNtfs(ntfsError))
        return ntfsError;

    DosAttrib dos;
    if (SysError error = ReadDosValue(at, dos); error.Failed())
        return error;
    // Read-only is kept in both places, as Samba reads the word alone (its
    // "map readonly = no") and Linux programs the mode alone. Read as set
    // when either says so; the word takes it as read, the mode changes only
    // when it changes.
    const bool wantReadOnly = (word & kAttrReadOnly) != 0;
    const bool readOnly = info.readOnly || (dos.word & kAttrReadOnly) != 0;
    const std::uint32_t wantedDos = (word & ~kAttrDirectory) | (dos.word & kAttrDirectory);
    const bool dosChanges = wantedDos != dos.word;

    mode_t newMode = info.mode;
    if (wantReadOnly) {
        newMode &= ~kWriteBits;
    } else {
        // Write permission where read permission is, as a new file would get.
        newMode |= ((info.mode & (S_IRUSR | S_IRGRP | S_IROTH)) >> 1) & ~CurrentUmask();
        if ((newMode & kWriteBits) == 0)
            newMode |= S_IWUSR;
    }
    const bool modeChanges = wantReadOnly != readOnly && wantReadOnly != info.readOnly;
    if (info.link && modeChanges)
        return MakeSysError(EOPNOTSUPP); // a link has no mode of its own

    // Clearing Read-only first and setting it last keeps the item writable
    // while its user attribute changes.
    if (modeChanges && !wantReadOnly) {
        if (SysError error = ChangeMode(at, newMode); error.Failed())
            return error;
        info.readOnly = false;
    }
    if (dosChanges) {
        // Without user attributes, or with a damaged value, the mode alone
        // carries Read-only.
        const bool readOnlyOnly = ((wantedDos ^ dos.word) & ~kAttrReadOnly) == 0;
        if (SysError error = RewriteDosValue(at, info, dos, wantedDos, dos.created);
            error.Failed() && !((error.code == ENOTSUP || error.code == EBADMSG) && readOnlyOnly))
            return error;
    }
    if (modeChanges && wantReadOnly)
        return ChangeMode(at, newMode);
    return {};
}

std::optional<FileTime> ReadStoredCreationTime(const At& at) {
    DosAttrib dos;
    if (ReadDosValue(at, dos).Failed() || !dos.created)
        return std::nullopt;
    return FromNtfsTicks(*dos.created);
}

SysError WriteStoredCreationTime(const At& at, FileTime time) {
    struct statx status {};
    if (at.Stat(STATX_TYPE | STATX_MODE | STATX_BTIME, status) != 0)
        return LastSysError();
    const std::optional<std::uint64_t> ticks = ToNtfsTicks(time);
    if (!ticks)
        return MakeSysError(EINVAL);
    DosAttrib dos;
    if (SysError error = ReadDosValue(at, dos); error.Failed())
        return error;
    // The birth time itself needs no copy: it stays exact to the nanosecond.
    const bool birthTime = (status.stx_mask & STATX_BTIME) != 0 &&
                           status.stx_btime.tv_sec == time.seconds &&
                           status.stx_btime.tv_nsec == time.nanoseconds;
    const std::optional<std::uint64_t> created = birthTime ? std::nullopt : ticks;
    if (created == dos.created)
        return {};
    // A value made for a creation time alone goes with it.
    if (!created && dos.form == DosAttrib::Form::Binary &&
        dos.bytes == RewriteDosAttrib({}, 0, dos.created))
        return WriteDosValueOf(at, InfoOf(status), std::nullopt);
    return RewriteDosValue(at, InfoOf(status), dos, dos.word, created);
}

bool HoldsUserAttributes(const At& at) {
    return at.GetXattr(kDosAttributes, nullptr, 0) >= 0 || errno == ENODATA;
}

SysError RestoreAttributeStore(const At& at, std::uint32_t word, mode_t mode,
                               const std::optional<std::string>& stored) {
    std::uint32_t ntfs = 0;
    if (!ReadNtfsAttributes(at, ntfs).Failed())
        return WriteAttributeWord(at, word);
    struct statx status {};
    if (at.Stat(STATX_TYPE | STATX_MODE, status) != 0)
        return LastSysError();
    const ItemInfo info = InfoOf(status);
    if (info.link)
        return {};
    DosAttrib now;
    if (SysError error = ReadDosValue(at, now); error.Failed())
        return error;
    const bool present = now.form != DosAttrib::Form::None;
    const bool storeChanges = stored ? !present || now.bytes != *stored : present;
    // The store is written while the item is writable: before the write bits
    // go, or after they come back.
    const bool wasWritable = (mode & kWriteBits) != 0;
    if (wasWritable && (info.mode & 07777) != (mode & 07777)) {
        if (SysError error = ChangeMode(at, mode); error.Failed())
            return error;
    }
    if (storeChanges) {
        const int result = stored ? at.SetXattr(kDosAttributes, stored->data(), stored->size())
                                  : at.RemoveXattr(kDosAttributes);
        if (result != 0 && !(errno == ENODATA && !stored))
            return LastSysError();
    }
    if (!wasWritable && (info.mode & 07777) != (mode & 07777))
        return ChangeMode(at, mode);
    return {};
}

} // namespace stampwell::platform::posix

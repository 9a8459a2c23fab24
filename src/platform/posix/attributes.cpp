#include "platform/attributes.h"

#include "platform/posix/itemops.h"
#include "platform/posix/ntfs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace stampwell::platform::posix {

namespace {

// Hidden, System and Archive live where Wine and Samba look for them.
constexpr char kDosAttributes[] = "user.DOSATTRIB";
// Read-only and Directory follow from the mode; they are never stored.
constexpr std::uint32_t kFromMode = kAttrReadOnly | kAttrDirectory;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// The user.DOSATTRIB value: absent, or "0x%x" text (with or without a final
// NUL), or another form: Samba's binary record starts with the same text and
// a NUL, and goes on with data of its own that a rewrite would lose.
struct DosValue {
    bool present = false;
    bool ours = false; // the plain text form, safe to rewrite
    std::uint32_t word = 0;
    std::string bytes; // as stored
};

DosValue ParseDosValue(std::string_view value) {
    DosValue parsed{true, false, 0, {}};
    if (value.size() < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X'))
        return parsed;
    std::size_t pos = 2;
    std::uint64_t word = 0;
    for (; pos < value.size(); ++pos) {
        const char c = value[pos];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            break;
        word = (word << 4) | static_cast<unsigned>(digit);
        if (word > UINT32_MAX)
            return parsed;
    }
    if (pos == 2)
        return parsed;
    parsed.word = static_cast<std::uint32_t>(word);
    const std::string_view rest = value.substr(pos);
    parsed.ours = rest.empty() || rest == std::string_view("\0", 1);
    return parsed;
}

// A file system without user attributes has no Hidden, System or Archive to
// read: those read as clear, and writing them fails with its reason.
SysError ReadDosValue(const At& item, DosValue& value) {
    std::string buffer(128, '\0');
    ssize_t size = item.GetXattr(kDosAttributes, buffer.data(), buffer.size());
    for (int attempt = 0; size < 0 && errno == ERANGE && attempt < 3; ++attempt) {
        // Longer than any text form: another program's, kept byte for byte.
        const ssize_t needed = item.GetXattr(kDosAttributes, nullptr, 0);
        if (needed < 0)
            break;
        buffer.resize(static_cast<std::size_t>(needed) + 1);
        size = item.GetXattr(kDosAttributes, buffer.data(), buffer.size());
    }
    if (size >= 0) {
        buffer.resize(static_cast<std::size_t>(size));
        value = ParseDosValue(buffer);
        value.bytes = std::move(buffer);
        return {};
    }
    const int code = errno;
    if (code == ENODATA || code == ENOTSUP) {
        value = {};
        return {};
    }
    return MakeSysError(code);
}

SysError WriteDosValue(const At& item, std::uint32_t word) {
    char text[16];
    const int length = std::snprintf(text, sizeof text, "0x%x", word);
    if (item.SetXattr(kDosAttributes, text, static_cast<std::size_t>(length)) != 0)
        return LastSysError();
    return {};
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

// Writes user.DOSATTRIB. The kernel asks for write permission to change it;
// the owner of a read-only item gets it for that moment, as Windows lets a
// read-only file be hidden.
SysError WriteDosValueOf(const At& at, const ItemInfo& info, std::uint32_t word) {
    SysError error = WriteDosValue(at, word);
    if (error.code != EACCES || !info.readOnly)
        return error;
    if (ChangeMode(at, info.mode | S_IWUSR).Failed())
        return error;
    error = WriteDosValue(at, word);
    if (const SysError restored = ChangeMode(at, info.mode); !error.Failed())
        error = restored;
    return error;
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
    DosValue dos;
    if (SysError error = ReadDosValue(at, dos); error.Failed())
        return error;
    word = (dos.word & ~kFromMode) | (info.readOnly ? kAttrReadOnly : 0) |
           (info.folder ? kAttrDirectory : 0);
    if (dos.present)
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

    DosValue dos;
    if (SysError error = ReadDosValue(at, dos); error.Failed())
        return error;
    const std::uint32_t wantedDos = word & ~kFromMode;
    const bool dosChanges = wantedDos != (dos.word & ~kFromMode);
    if (dosChanges && dos.present && !dos.ours)
        return MakeSysError(ENOTSUP); // a form of another program's, kept as it is
    const bool wantReadOnly = (word & kAttrReadOnly) != 0;

    mode_t newMode = info.mode;
    if (wantReadOnly) {
        newMode &= ~kWriteBits;
    } else {
        // Write permission where read permission is, as a new file would get.
        newMode |= ((info.mode & (S_IRUSR | S_IRGRP | S_IROTH)) >> 1) & ~CurrentUmask();
        if ((newMode & kWriteBits) == 0)
            newMode |= S_IWUSR;
    }
    const bool modeChanges = wantReadOnly != info.readOnly;

    // Clearing Read-only first and setting it last keeps the item writable
    // while its user attribute changes.
    if (modeChanges && !wantReadOnly) {
        if (SysError error = ChangeMode(at, newMode); error.Failed())
            return error;
        info.readOnly = false;
    }
    if (dosChanges) {
        if (SysError error = WriteDosValueOf(at, info, wantedDos); error.Failed())
            return error;
    }
    if (modeChanges && wantReadOnly)
        return ChangeMode(at, newMode);
    return {};
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
    DosValue now;
    if (SysError error = ReadDosValue(at, now); error.Failed())
        return error;
    const bool storeChanges = stored ? !now.present || now.bytes != *stored : now.present;
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

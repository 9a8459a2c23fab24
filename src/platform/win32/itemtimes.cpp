#include "platform/itemtimes.h"

#include "platform/win32/handle.h"
#include "platform/win32/ticks.h"
#include "platform/win32/wide.h"

#include <windows.h>

namespace stampwell::platform {

namespace {

enum class Purpose { Read, Write };

DWORD OpenFlags(ItemType type) {
    // The link itself is the item, never what it points to.
    DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT;
    if (type == ItemType::Folder)
        flags |= FILE_FLAG_BACKUP_SEMANTICS;
    return flags;
}

HANDLE Open(const std::wstring& path, ItemType type, Purpose purpose) {
    DWORD access = purpose == Purpose::Read ? FILE_READ_ATTRIBUTES : FILE_WRITE_ATTRIBUTES;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (type == ItemType::File) {
        if (purpose == Purpose::Write) {
            // An open for attributes alone is not checked against the sharing
            // of other opens; asking to read the data as well makes the
            // exclusive open fail while another program holds the file open,
            // which then stays unchanged. Reading the data is allowed on
            // read-only files, so their attribute is never touched.
            access |= FILE_READ_DATA;
            share = 0;
        } else {
            // Reading the times shares everything: it must never make another
            // program's open of the file fail.
            share |= FILE_SHARE_DELETE;
        }
    }
    return CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, OpenFlags(type),
                       nullptr);
}

// Opens the item; a link to a folder is opened as the folder entry it is,
// whichever type the caller named, because its target is never opened.
HANDLE OpenItem(const std::string& path, ItemType type, Purpose purpose) {
    const std::wstring wide = win32::WidePath(path);
    HANDLE handle = Open(wide, type, purpose);
    if (handle == INVALID_HANDLE_VALUE && type == ItemType::File &&
        GetLastError() == ERROR_ACCESS_DENIED) {
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        constexpr DWORD kFolderLink = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kFolderLink) == kFolderLink)
            return Open(wide, ItemType::Folder, purpose);
        SetLastError(ERROR_ACCESS_DENIED);
    }
    return handle;
}

} // namespace

SysError ReadItemTimes(const std::string& path, ItemType type, ItemTimes& times) {
    const win32::FileHandle item(OpenItem(path, type, Purpose::Read));
    if (!item.Valid())
        return LastSysError();
    FILETIME created{};
    FILETIME accessed{};
    FILETIME modified{};
    if (!GetFileTime(item.Get(), &created, &accessed, &modified))
        return LastSysError();
    // A creation time of zero is the file system saying it keeps none.
    if (created.dwLowDateTime == 0 && created.dwHighDateTime == 0)
        times.created.reset();
    else
        times.created = win32::FromTicks(created);
    times.modified = win32::FromTicks(modified);
    times.accessed = win32::FromTicks(accessed);
    return {};
}

SysError WriteItemTimes(const std::string& path, ItemType type, const TimesUpdate& update) {
    // Every time is checked before the item is opened: a time that cannot be
    // stored exactly changes nothing.
    std::optional<FILETIME> ticks[3];
    const std::optional<FileTime>* wanted[3] = {&update.created, &update.accessed,
                                                &update.modified};
    for (int i = 0; i < 3; ++i) {
        if (!*wanted[i])
            continue;
        ticks[i] = win32::ToTicks(**wanted[i]);
        if (!ticks[i])
            return MakeSysError(ERROR_INVALID_TIME);
    }
    const win32::FileHandle item(OpenItem(path, type, Purpose::Write));
    if (!item.Valid())
        return LastSysError();
    // An absent time is passed as no time at all and keeps its exact value.
    const auto pointer = [](const std::optional<FILETIME>& t) { return t ? &*t : nullptr; };
    if (!SetFileTime(item.Get(), pointer(ticks[0]), pointer(ticks[1]), pointer(ticks[2])))
        return LastSysError();
    return {};
}

} // namespace stampwell::platform

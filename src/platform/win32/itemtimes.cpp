#include "platform/win32/at.h"
#include "platform/win32/itemops.h"
#include "platform/win32/ticks.h"

namespace stampwell::platform::win32 {

namespace {

// Folders are opened as backup software opens them; files are opened
// exclusively. An open for attributes alone is not checked against the
// sharing of other opens; asking to read the data as well makes the
// exclusive open fail while another program holds the file open, which then
// stays unchanged. Reading the data is allowed on read-only files, so their
// attribute is never touched.
constexpr OpenRequest kFolderWrite = {FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      FILE_OPEN_FOR_BACKUP_INTENT};
constexpr OpenRequest kFileWrite = {FILE_WRITE_ATTRIBUTES | FILE_READ_DATA, 0,
                                    FILE_NON_DIRECTORY_FILE};

// Opens the item for writing its times. A link to a folder is opened as the
// folder entry it is, whichever type the caller named, because its target is
// never opened.
SysError OpenForTimes(HANDLE folder, const std::string& name, ItemType type, FileHandle& item) {
    if (type == ItemType::Folder)
        return OpenAt(folder, name, kFolderWrite, item);
    const SysError error = OpenAt(folder, name, kFileWrite, item);
    if (error.code != ERROR_ACCESS_DENIED)
        return error;
    FileHandle entry;
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (OpenAt(folder, name, kReadRequest, entry).Failed() ||
        ReadAttributeTag(entry.Get(), info).Failed())
        return error;
    constexpr DWORD kFolderLink = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if ((info.FileAttributes & kFolderLink) != kFolderLink)
        return error;
    return OpenAt(folder, name, kFolderWrite, item);
}

} // namespace

ItemTimes TimesFromInfo(const BY_HANDLE_FILE_INFORMATION& info) {
    ItemTimes times;
    const FILETIME& created = info.ftCreationTime;
    if (created.dwLowDateTime != 0 || created.dwHighDateTime != 0)
        times.created = FromTicks(created);
    times.modified = FromTicks(info.ftLastWriteTime);
    times.accessed = FromTicks(info.ftLastAccessTime);
    return times;
}

SysError WriteTimes(HANDLE folder, const std::string& name, ItemType type,
                    const TimesUpdate& update) {
    // Every time is checked before the item is opened: a time that cannot be
    // stored exactly changes nothing.
    std::optional<FILETIME> ticks[3];
    const std::optional<FileTime>* wanted[3] = {&update.created, &update.accessed,
                                                &update.modified};
    for (int i = 0; i < 3; ++i) {
        if (!*wanted[i])
            continue;
        ticks[i] = ToTicks(**wanted[i]);
        if (!ticks[i])
            return MakeSysError(ERROR_INVALID_TIME);
    }
    FileHandle item;
    if (SysError error = OpenForTimes(folder, name, type, item); error.Failed())
        return error;
    // An absent time is passed as no time at all and keeps its exact value.
    const auto pointer = [](const std::optional<FILETIME>& t) { return t ? &*t : nullptr; };
    if (!SetFileTime(item.Get(), pointer(ticks[0]), pointer(ticks[1]), pointer(ticks[2])))
        return LastSysError();
    return {};
}

} // namespace stampwell::platform::win32

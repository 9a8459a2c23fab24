#include "platform/item.h"

#include "platform/win32/at.h"
#include "platform/win32/itemops.h"
#include "platform/win32/wide.h"

#include <windows.h>

namespace stampwell::platform {

namespace {

// A folder refused because it is a link gets the system's code for an open
// that stopped at a symbolic link (ERROR_STOPPED_ON_SYMLINK; mingw's headers
// lack the name).
constexpr int kStoppedOnLink = 681;

// A folder is held open for its attributes alone, which is enough to open
// items relative to it; it shares everything, so other programs may still
// rename or delete it (the handle keeps naming the same folder).
constexpr win32::OpenRequest kFolderRequest = {FILE_READ_ATTRIBUTES, win32::kShareAll,
                                               FILE_DIRECTORY_FILE | FILE_OPEN_FOR_BACKUP_INTENT};

ItemIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

SysError ReadInfo(HANDLE item, BY_HANDLE_FILE_INFORMATION& info) {
    if (!GetFileInformationByHandle(item, &info))
        return LastSysError();
    return {};
}

SysError IdentityOfHandle(HANDLE item, ItemIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (SysError error = ReadInfo(item, info); error.Failed())
        return error;
    identity = IdentityOf(info);
    return {};
}

// The length of the root a full path starts with, its backslash included:
// "C:\", "\\server\share\", "\\?\C:\", "\\?\UNC\server\share\",
// "\\?\Volume{...}\".
std::size_t RootLength(const std::wstring& path) {
    const auto skipName = [&](std::size_t from) {
        const std::size_t slash = path.find(L'\\', from);
        return slash == std::wstring::npos ? path.size() : slash + 1;
    };
    const auto startsWith = [&](std::size_t at, std::wstring_view text) {
        return CompareStringOrdinal(path.c_str() + at,
                                    static_cast<int>(std::min(text.size(), path.size() - at)),
                                    text.data(), static_cast<int>(text.size()), TRUE) == CSTR_EQUAL;
    };
    std::size_t at = 0;
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) {
        at = 4;
        if (startsWith(at, L"UNC\\"))
            return skipName(skipName(at + 4));
    } else if (path.starts_with(L"\\\\")) {
        return skipName(skipName(2));
    }
    if (path.size() >= at + 2 && path[at + 1] == L':')
        return at + 2 + (path.size() > at + 2 && path[at + 2] == L'\\' ? 1 : 0);
    return at == 0 ? 0 : skipName(at);
}

// Text from a call that gives its length when the buffer holds it, and the
// size it needs (with the NUL) when not; asked again while the text grows.
template <typename Call> SysError FetchText(Call call, std::wstring& text) {
    DWORD size = MAX_PATH;
    for (;;) {
        text.assign(size, L'\0');
        const DWORD length = call(text.data(), size);
        if (length == 0)
            return LastSysError();
        if (length < size) {
            text.resize(length);
            return {};
        }
        size = length;
    }
}

// The full path as the system makes it: absolute, "." and ".." resolved,
// trailing dots and blanks of names dropped.
SysError FullPath(const std::string& path, std::wstring& full) {
    const std::wstring wide = win32::WidePath(path);
    return FetchText(
        [&](wchar_t* buffer, DWORD size) {
            return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
        },
        full);
}

// The path of what a handle names, as the system knows it now.
SysError PathOfHandle(HANDLE item, std::wstring& path) {
    return FetchText(
        [&](wchar_t* buffer, DWORD size) {
            return GetFinalPathNameByHandleW(item, buffer, size, VOLUME_NAME_DOS);
        },
        path);
}

} // namespace

void OpenFolder::Close() {
    if (handle_ != kNone)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = kNone;
}

SysError OpenFolder::Open(const std::string& path, OpenFolder& folder) {
    const std::wstring wide = win32::WidePath(path.empty() ? "." : path);
    win32::FileHandle opened(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, win32::kShareAll,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                         nullptr));
    if (!opened.Valid()) {
        // The whole path names a folder: when it is not there, its path is not.
        const DWORD code = GetLastError();
        return MakeSysError(
            static_cast<int>(code == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : code));
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (SysError error = ReadInfo(opened.Get(), info); error.Failed())
        return error;
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return MakeSysError(ERROR_DIRECTORY);
    folder.Close();
    folder.handle_ = reinterpret_cast<std::intptr_t>(opened.Release());
    folder.identity_ = IdentityOf(info);
    return {};
}

SysError OpenFolder::OpenParent(const std::string& path, bool followLast, OpenFolder& folder,
                                std::string& name) {
    if (path.empty())
        return MakeSysError(ERROR_PATH_NOT_FOUND);
    std::wstring full;
    if (SysError error = FullPath(path, full); error.Failed())
        return error;
    const std::size_t root = RootLength(full);
    std::size_t end = full.size();
    while (end > root && full[end - 1] == L'\\')
        --end;
    if (end <= root) {
        name.clear();
        return Open(win32::Narrow(full.substr(0, root)), folder);
    }
    // Past the root there is a name, and a full path has a backslash before it.
    const std::size_t slash = full.rfind(L'\\', end - 1);
    if (slash == std::wstring::npos)
        return MakeSysError(ERROR_INVALID_NAME);
    const std::wstring above = full.substr(0, std::max(slash, root));
    const std::string last = win32::Narrow(full.substr(slash + 1, end - slash - 1));
    OpenFolder parent;
    if (SysError error = Open(win32::Narrow(above), parent); error.Failed())
        return error;
    if (followLast) {
        win32::FileHandle entry;
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (!win32::OpenAt(reinterpret_cast<HANDLE>(parent.handle_), last, win32::kReadRequest,
                           entry)
                 .Failed() &&
            !win32::ReadAttributeTag(entry.Get(), tag).Failed() && win32::NamesAnotherItem(tag)) {
            // The link named last: the item is what it names, found through
            // the link once and then checked to be the very item reached again.
            const win32::FileHandle target(CreateFileW(
                win32::WidePath(win32::Narrow(full.substr(0, end))).c_str(), FILE_READ_ATTRIBUTES,
                win32::kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
            if (!target.Valid())
                return LastSysError();
            ItemIdentity identity;
            std::wstring resolved;
            SysError error = IdentityOfHandle(target.Get(), identity);
            if (!error.Failed())
                error = PathOfHandle(target.Get(), resolved);
            if (error.Failed())
                return error;
            return OpenParentOfTarget(win32::Narrow(resolved), identity, folder, name);
        }
    }
    folder = std::move(parent);
    name = last;
    return {};
}

SysError OpenFolder::OpenChild(const std::string& name, OpenFolder& child) const {
    if (name.empty())
        return MakeSysError(ERROR_INVALID_NAME);
    win32::FileHandle opened;
    if (SysError error =
            win32::OpenAt(reinterpret_cast<HANDLE>(handle_), name, kFolderRequest, opened);
        error.Failed())
        return error;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (SysError error = win32::ReadAttributeTag(opened.Get(), tag); error.Failed())
        return error;
    if (win32::NamesAnotherItem(tag))
        return MakeSysError(kStoppedOnLink);
    ItemIdentity identity;
    if (SysError error = IdentityOfHandle(opened.Get(), identity); error.Failed())
        return error;
    child.Close();
    child.handle_ = reinterpret_cast<std::intptr_t>(opened.Release());
    child.identity_ = identity;
    return {};
}

SysError ReadItemState(const OpenFolder& folder, const std::string& name, ItemType,
                       bool withAttributes, ItemState& state, bool) {
    // Reading opens whatever the name names, file or folder: the kind read
    // tells the caller which it is.
    win32::FileHandle item;
    if (SysError error = win32::OpenAt(reinterpret_cast<HANDLE>(folder.Native()), name,
                                       win32::kReadRequest, item);
        error.Failed())
        return error;
    BY_HANDLE_FILE_INFORMATION info{};
    if (SysError error = ReadInfo(item.Get(), info); error.Failed())
        return error;
    ItemState read;
    read.kind =
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? ItemKind::Folder : ItemKind::File;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (SysError error = win32::ReadAttributeTag(item.Get(), tag); error.Failed())
            return error;
        if (win32::NamesAnotherItem(tag))
            read.kind = ItemKind::Link;
    }
    read.identity = IdentityOf(info);
    read.times = win32::TimesFromInfo(info);
    if (withAttributes)
        read.attributes = info.dwFileAttributes;
    state = read;
    return {};
}

SysError WriteItemTimesAt(const OpenFolder& folder, const std::string& name, ItemType type,
                          const TimesUpdate& update) {
    return win32::WriteTimes(reinterpret_cast<HANDLE>(folder.Native()), name, type, update);
}

SysError WriteAttributesAt(const OpenFolder& folder, const std::string& name, ItemType,
                           std::uint32_t word) {
    return win32::WriteAttributeWord(reinterpret_cast<HANDLE>(folder.Native()), name, word);
}

} // namespace stampwell::platform

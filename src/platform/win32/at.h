#pragma once

#include "platform/syserror.h"
#include "platform/win32/handle.h"

#include <string>
#include <windows.h>
#include <winternl.h>

// Opening one item given as an open folder's handle and a single name in it
// (an empty name is the folder itself). The name is opened relative to the
// handle, so no path is resolved again, and a reparse point it names is
// opened as itself, never followed.
namespace stampwell::platform::win32 {

// What an open asks for: the access, the sharing granted to other opens,
// and NtCreateFile's options beyond those every open here has.
struct OpenRequest {
    ACCESS_MASK access;
    ULONG share;
    ULONG options;
};

inline constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Reading shares everything: it must never make another program's open fail.
inline constexpr OpenRequest kReadRequest = {FILE_READ_ATTRIBUTES, kShareAll,
                                             FILE_OPEN_FOR_BACKUP_INTENT};

// A name that is more than one name ('\', '/'), a stream (':'), "." or ".."
// is refused (ERROR_INVALID_NAME).
SysError OpenAt(HANDLE folder, const std::string& name, const OpenRequest& request,
                FileHandle& item);

// The failure an NTSTATUS stands for, as a Windows error code.
SysError StatusError(NTSTATUS status);

// The attributes and reparse tag of an open item.
SysError ReadAttributeTag(HANDLE item, FILE_ATTRIBUTE_TAG_INFO& info);

// A reparse point that names another item: a symbolic link, junction or
// mount point. Others, such as a cloud placeholder, are the item itself.
bool NamesAnotherItem(const FILE_ATTRIBUTE_TAG_INFO& info);

} // namespace stampwell::platform::win32

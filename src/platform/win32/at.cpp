#include "platform/win32/at.h"

#include "platform/win32/wide.h"

#include <limits>

namespace stampwell::platform::win32 {

namespace {

bool IsSingleName(const std::wstring& name) {
    return name.find_first_of(L"\\/:") == std::wstring::npos && name != L"." && name != L"..";
}

} // namespace

SysError OpenAt(HANDLE folder, const std::string& name, const OpenRequest& request,
                FileHandle& item) {
    std::wstring wide = Widen(name);
    constexpr std::size_t kLongest = std::numeric_limits<USHORT>::max() / sizeof(wchar_t);
    if (!wide.empty() && !IsSingleName(wide))
        return MakeSysError(ERROR_INVALID_NAME);
    if (wide.size() > kLongest)
        return MakeSysError(ERROR_FILENAME_EXCED_RANGE);
    UNICODE_STRING objectName;
    objectName.Buffer = wide.data();
    objectName.Length = static_cast<USHORT>(wide.size() * sizeof(wchar_t));
    objectName.MaximumLength = objectName.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE opened = INVALID_HANDLE_VALUE;
    const NTSTATUS status = NtCreateFile(
        &opened, request.access | SYNCHRONIZE, &attributes, &io, nullptr, 0, request.share,
        FILE_OPEN, request.options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT,
        nullptr, 0);
    if (!NT_SUCCESS(status))
        return StatusError(status);
    item.Reset(opened);
    return {};
}

SysError StatusError(NTSTATUS status) {
    return MakeSysError(static_cast<int>(RtlNtStatusToDosError(status)));
}

SysError ReadAttributeTag(HANDLE item, FILE_ATTRIBUTE_TAG_INFO& info) {
    if (!GetFileInformationByHandleEx(item, FileAttributeTagInfo, &info, sizeof info))
        return LastSysError();
    return {};
}

bool NamesAnotherItem(const FILE_ATTRIBUTE_TAG_INFO& info) {
    // The tag is only valid with the reparse-point attribute.
    return (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           IsReparseTagNameSurrogate(info.ReparseTag);
}

} // namespace stampwell::platform::win32

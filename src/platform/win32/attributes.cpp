#include "platform/win32/at.h"
#include "platform/win32/itemops.h"

namespace stampwell::platform::win32 {

namespace {

// The bits a program may set; the others (Directory, Compressed, Encrypted,
// Reparse point, Sparse ...) the file system keeps by itself.
constexpr DWORD kWritable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Writing attributes alone is not checked against the sharing of other
// opens, so a file another program holds open still takes them, as it does
// from SetFileAttributesW.
constexpr OpenRequest kAttributeWrite = {FILE_WRITE_ATTRIBUTES, kShareAll,
                                         FILE_OPEN_FOR_BACKUP_INTENT};

} // namespace

SysError WriteAttributeWord(HANDLE folder, const std::string& name, std::uint32_t word) {
    FileHandle item;
    if (SysError error = OpenAt(folder, name, kAttributeWrite, item); error.Failed())
        return error;
    // Times of zero are left as they are; no bit at all is spelt "normal",
    // since zero would leave the attributes as they are too.
    FILE_BASIC_INFO info{};
    info.FileAttributes = word & kWritable;
    if (info.FileAttributes == 0)
        info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(item.Get(), FileBasicInfo, &info, sizeof info))
        return LastSysError();
    return {};
}

} // namespace stampwell::platform::win32

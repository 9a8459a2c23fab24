#include "platform/attributes.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace stampwell::platform {

namespace {

// The bits SetFileAttributesW takes; the others (Directory, Compressed,
// Encrypted, Reparse point, Sparse ...) the file system keeps by itself.
constexpr DWORD kWritable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

} // namespace

SysError ReadAttributes(const std::string& path, std::uint32_t& word) {
    const DWORD attributes = GetFileAttributesW(win32::WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return LastSysError();
    word = attributes;
    return {};
}

SysError WriteAttributes(const std::string& path, std::uint32_t word) {
    DWORD attributes = word & kWritable;
    // No bit at all is spelt "normal"; zero would mean "leave as it is".
    if (attributes == 0)
        attributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileAttributesW(win32::WidePath(path).c_str(), attributes))
        return LastSysError();
    return {};
}

} // namespace stampwell::platform

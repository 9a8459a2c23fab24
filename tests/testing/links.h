#pragma once

#include <filesystem>
#include <system_error>
#ifdef _WIN32
#include <windows.h>
#endif

namespace stampwell::testing {

// Makes a symbolic link at `link` to `target` (a folder link when `folder`).
// Windows lets a user without Developer Mode or elevation make none; Wine
// pretends to make one and keeps nothing, so the link is checked to exist.
inline std::error_code MakeSymlink(const std::filesystem::path& target,
                                   const std::filesystem::path& link, bool folder) {
    std::error_code error;
#ifdef _WIN32
    DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (folder)
        flags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
    if (!CreateSymbolicLinkW(link.c_str(), target.c_str(), flags))
        return {static_cast<int>(GetLastError()), std::system_category()};
    const DWORD attributes = GetFileAttributesW(link.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return std::make_error_code(std::errc::function_not_supported);
#else
    if (folder)
        std::filesystem::create_directory_symlink(target, link, error);
    else
        std::filesystem::create_symlink(target, link, error);
#endif
    return error;
}

} // namespace stampwell::testing

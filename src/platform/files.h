#pragma once

#include "platform/syserror.h"

#include <string>
#include <string_view>

namespace stampwell::platform {

// The separator this platform writes between path components. Windows also
// accepts '/' in what it is given.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

constexpr bool IsPathSeparator(char c) {
    return c == '/' || c == kPathSeparator;
}

// Whether anything (file, folder, ...) exists at the path; links are followed.
bool PathExists(const std::string& path);

// Whether the path names an existing folder (a drive root included).
bool IsFolder(const std::string& path);

// Creates the folder and every missing folder above it. Succeeds when the whole
// path exists as a folder afterwards.
SysError CreateFolderPath(const std::string& path);

// Reads the whole file.
SysError ReadWholeFile(const std::string& path, std::string& bytes);

// Replaces the file's content, or creates the file. The bytes go to a new file
// in the same folder, which is then renamed over the old one: a crash or a
// full disk leaves either the old file or the new one, never a cut one. A
// read-only file is refused, as it would be for an ordinary write.
SysError WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace stampwell::platform

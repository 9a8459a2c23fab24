#pragma once

#include "platform/syserror.h"

#include <cstddef>
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

// The most a settings file, the registry record or a language file may hold.
inline constexpr std::size_t kSettingsFileLimit = 4 * 1024 * 1024;

// Reads a settings file, the registry record or a language file: a regular
// file (links followed) of at most kSettingsFileLimit bytes. It never waits: a
// pipe, a device or a folder is refused (NotARegularFile, or the folder's own
// code), and so is a larger file (FileTooLarge), unread.
SysError ReadSettingsFile(const std::string& path, std::string& bytes);
SysError NotARegularFile();
SysError FileTooLarge();

// Replaces the file's content, or creates the file. The bytes go to a new file
// in the same folder, which is then renamed over the old one: a crash or a
// full disk leaves either the old file or the new one, never a cut one. The
// new file has its final mode from the start (the old file's, or owner-only
// for a new one) and keeps the old file's owner and group. A link is kept and
// the file it leads to is replaced; a link that leads nowhere, and anything
// but a regular file, is refused, and so is a read-only file, as it would be
// for an ordinary write.
SysError WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace stampwell::platform

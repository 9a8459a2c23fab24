#pragma once

#include "platform/syserror.h"

#include <string>

// Small path and file-system helpers. Paths use the native separator ('\' on
// Windows, '/' elsewhere); on Windows '/' is accepted wherever '\' is. None of
// them shows a message or throws: each returns its neutral result (false or
// "") when something goes wrong.
namespace stampwell::support {

// True when anything exists at Path: a file or a folder. False for "".
bool FileExists(const std::string& Path);

// True when FolderName is an existing folder (a drive root included).
bool FolderExists(const std::string& FolderName);

// Creates the folder and every missing folder above it; blanks around NewPath
// are ignored. Returns "" when the whole path exists afterwards, else
// "CreateFolder Error(<code>): <system's text> NewPath: <NewPath as given>".
std::string CreateFolder(const std::string& NewPath);

// The same creation, with the system's reason kept for a message of its own.
platform::SysError MakeFolderPath(const std::string& NewPath);

// The part after the last separator: the whole text when there is none, ""
// when the text ends with one.
std::string GetFileName(const std::string& flname);

// The extension, without its point, of an existing file's own name
// ("archive.tar.gz" gives "gz"); "" for a missing file or a name without one.
std::string GetExtensionName(const std::string& sPath);

// AddBackslash(Path) followed by StripLeadingBackslash(Name).
std::string BuildPath(const std::string& Path, const std::string& Name);

// Path with one separator at its end (Path unchanged when it has one).
std::string AddBackslash(const std::string& Path);

// Name without its first character when that is a separator; only one is removed.
std::string StripLeadingBackslash(const std::string& Name);

} // namespace stampwell::support

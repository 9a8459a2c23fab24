#include "support/modFSO.h"

#include "platform/files.h"

namespace stampwell::support {

using platform::IsPathSeparator;

bool FileExists(const std::string& Path) {
    return platform::PathExists(Path);
}

bool FolderExists(const std::string& FolderName) {
    return platform::IsFolder(FolderName);
}

platform::SysError MakeFolderPath(const std::string& NewPath) {
    const std::size_t first = NewPath.find_first_not_of(' ');
    const std::size_t last = NewPath.find_last_not_of(' ');
    std::string path =
        first == std::string::npos ? std::string() : NewPath.substr(first, last - first + 1);
    // A trailing separator names the same folder; "/" alone stays the root.
    while (path.size() > 1 && IsPathSeparator(path.back()))
        path.pop_back();
    return platform::CreateFolderPath(path);
}

std::string CreateFolder(const std::string& NewPath) {
    const platform::SysError error = MakeFolderPath(NewPath);
    if (!error.Failed())
        return {};
    return "CreateFolder Error(" + std::to_string(error.code) + "): " + error.text +
           " NewPath: " + NewPath;
}

std::string GetFileName(const std::string& flname) {
    for (std::size_t i = flname.size(); i > 0; --i)
        if (IsPathSeparator(flname[i - 1]))
            return flname.substr(i);
    return flname;
}

std::string GetExtensionName(const std::string& sPath) {
    if (!FileExists(sPath))
        return {};
    // The file's own name, never a display title that may hide extensions.
    const std::string name = GetFileName(sPath);
    for (std::size_t i = name.size(); i > 0; --i) {
        const char c = name[i - 1];
        if (c == '.')
            return name.substr(i);
        if (c == ':')
            return {};
    }
    return {};
}

std::string BuildPath(const std::string& Path, const std::string& Name) {
    return AddBackslash(Path) + StripLeadingBackslash(Name);
}

std::string AddBackslash(const std::string& Path) {
    if (!Path.empty() && IsPathSeparator(Path.back()))
        return Path;
    return Path + platform::kPathSeparator;
}

std::string StripLeadingBackslash(const std::string& Name) {
    if (!Name.empty() && IsPathSeparator(Name.front()))
        return Name.substr(1);
    return Name;
}

} // namespace stampwell::support

#pragma once

#include "platform/syserror.h"

#include <string>

namespace stampwell::platform::posix {

// An item as a folder handle and a name relative to it, for the *at system
// calls. A path shorter than PATH_MAX is used as it is (no system call, no
// copy). A longer one is opened folder by folder in pieces shorter than
// PATH_MAX, so an item of any depth can be reached. Links in the folders on
// the way are followed, as the system does for a path; the last name is
// left to the caller.
class PathAt {
public:
    explicit PathAt(const std::string& path);
    ~PathAt();
    PathAt(const PathAt&) = delete;
    PathAt& operator=(const PathAt&) = delete;

    // Why the folder that holds the item could not be opened.
    const SysError& Error() const { return error_; }

    int Folder() const { return folder_; } // AT_FDCWD for a short path
    const char* Name() const { return name_; }

    // A path of the item for calls without an *at form (the extended
    // attribute calls): the path itself, or the item below /proc/self/fd.
    const char* WholePath() const { return whole_; }

private:
    int folder_;
    const char* name_ = nullptr;
    const char* whole_ = nullptr;
    std::string longName_;
    std::string procPath_;
    SysError error_;
};

// Opens a folder of any path length (O_PATH, links followed); -1 and the
// reason on failure.
int OpenFolderPath(const std::string& folder, SysError& error);

} // namespace stampwell::platform::posix

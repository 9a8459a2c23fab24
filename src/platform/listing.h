#pragma once

#include "platform/item.h"
#include "platform/itemtimes.h"
#include "platform/syserror.h"

#include <cstdint>
#include <memory>
#include <string>

namespace stampwell::platform {

// One entry of a folder listing, as the listing reports it.
struct ListedEntry {
    std::string name;
    bool isFolder = false; // a real folder; a link to one is not
    bool isLink = false;   // a symbolic link, junction or mount point: names another item
    // Filled where the listing delivers them for free (Windows); on POSIX
    // hasDetails is false and the caller asks for what it needs.
    bool hasDetails = false;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    ItemTimes times;
};

// Lists one folder's entries whose names match a wildcard pattern, with the
// Windows rules: case-insensitive, '*' and '?', "*.*" matches every name, no
// 8.3 names. "." and ".." are never delivered. Windows uses its own matching.
// Entries come in name order: NTFS keeps a folder sorted, and POSIX sorts
// by the bytes of the names, so a run goes the same way every time. Listing
// a folder leaves its access time alone where the system allows it.
class FolderListing {
public:
    FolderListing(const std::string& folder, const std::string& pattern);
    FolderListing(const OpenFolder& folder, const std::string& pattern);
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // Why the listing could not be opened (or failed midway); Failed() is
    // false for a folder that simply holds no matching entry.
    const SysError& Error() const { return error_; }

    // The next entry; false at the end.
    bool Next(ListedEntry& entry);

    struct State; // the platform's own

private:
    std::unique_ptr<State> state_;
    SysError error_;
};

} // namespace stampwell::platform

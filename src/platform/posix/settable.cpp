#include "platform/item.h"
#include "platform/itemtimes.h"
#include "platform/posix/at.h"
#include "platform/posix/itemops.h"
#include "platform/posix/ntfs.h"

namespace stampwell::platform {

// A creation time can be set where NTFS keeps one beside the item, and stored
// in the item's attribute value wherever the file system keeps user
// attributes (a link keeps none).
bool CreationTimeSettable(const std::string& path, ItemType) {
    OpenFolder folder;
    std::string name;
    if (OpenFolder::OpenParent(path, true, folder, name).Failed())
        return false;
    const posix::At item(static_cast<int>(folder.Native()), name);
    FileTime created;
    if (!posix::ReadNtfsCreationTime(item, created).Failed())
        return true;
    struct statx info {};
    return item.Stat(STATX_TYPE, info) == 0 && !S_ISLNK(info.stx_mode) &&
           posix::HoldsUserAttributes(item);
}

} // namespace stampwell::platform

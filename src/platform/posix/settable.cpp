#include "platform/item.h"
#include "platform/itemtimes.h"
#include "platform/posix/at.h"
#include "platform/posix/ntfs.h"

namespace stampwell::platform {

// A creation time can be stored where NTFS keeps one beside the item.
bool CreationTimeSettable(const std::string& path, ItemType) {
    OpenFolder folder;
    std::string name;
    if (OpenFolder::OpenParent(path, true, folder, name).Failed())
        return false;
    const posix::At item(static_cast<int>(folder.Native()), name);
    FileTime created;
    return !posix::ReadNtfsCreationTime(item, created).Failed();
}

} // namespace stampwell::platform

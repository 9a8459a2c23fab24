#include "platform/itemtimes.h"

namespace stampwell::platform {

// Every Windows file system keeps a creation time that SetFileTime sets.
bool CreationTimeSettable(const std::string&, ItemType) {
    return true;
}

} // namespace stampwell::platform

#include "platform/item.h"

namespace stampwell::platform {

// Windows keeps the whole word in one place: writing it back is exact.
SysError RestoreAttributesAt(const OpenFolder& folder, const std::string& name, ItemType type,
                             const ItemState& before) {
    return WriteAttributesAt(folder, name, type, before.attributes);
}

} // namespace stampwell::platform

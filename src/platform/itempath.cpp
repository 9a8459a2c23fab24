#include "platform/attributes.h"
#include "platform/item.h"
#include "platform/itemtimes.h"

// The calls that take a path: the folder that holds the item is opened (links
// on the way followed, as for any path) and the item is reached by its name.
namespace stampwell::platform {

namespace {

SysError ReadState(const std::string& path, ItemType type, bool withAttributes, ItemState& state) {
    OpenFolder folder;
    std::string name;
    if (SysError error = OpenFolder::OpenParent(path, false, folder, name); error.Failed())
        return error;
    return ReadItemState(folder, name, type, withAttributes, state);
}

} // namespace

SysError ReadItemTimes(const std::string& path, ItemType type, ItemTimes& times) {
    ItemState state;
    if (SysError error = ReadState(path, type, false, state); error.Failed())
        return error;
    times = state.times;
    return {};
}

SysError WriteItemTimes(const std::string& path, ItemType type, const TimesUpdate& update) {
    OpenFolder folder;
    std::string name;
    if (SysError error = OpenFolder::OpenParent(path, false, folder, name); error.Failed())
        return error;
    return WriteItemTimesAt(folder, name, type, update);
}

SysError ReadAttributes(const std::string& path, std::uint32_t& word) {
    ItemState state;
    if (SysError error = ReadState(path, ItemType::File, true, state); error.Failed())
        return error;
    word = state.attributes;
    return {};
}

SysError WriteAttributes(const std::string& path, std::uint32_t word) {
    OpenFolder folder;
    std::string name;
    if (SysError error = OpenFolder::OpenParent(path, false, folder, name); error.Failed())
        return error;
    return WriteAttributesAt(folder, name, ItemType::File, word);
}

} // namespace stampwell::platform

#include "platform/item.h"

// The owner's part of an open folder; each platform closes its own handle.
namespace stampwell::platform {

OpenFolder::~OpenFolder() {
    Close();
}

OpenFolder::OpenFolder(OpenFolder&& other) noexcept
    : handle_(other.handle_), identity_(other.identity_) {
    other.handle_ = kNone;
}

OpenFolder& OpenFolder::operator=(OpenFolder&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        identity_ = other.identity_;
        other.handle_ = kNone;
    }
    return *this;
}

SysError OpenFolder::OpenParentOfTarget(const std::string& resolved, const ItemIdentity& identity,
                                        OpenFolder& folder, std::string& name) {
    OpenFolder parent;
    std::string resolvedName;
    if (SysError error = OpenParent(resolved, false, parent, resolvedName); error.Failed())
        return error;
    ItemState state;
    if (SysError error = ReadItemState(parent, resolvedName, ItemType::File, false, state);
        error.Failed())
        return error;
    if (!(state.identity == identity))
        return NotTheItemFound();
    folder = std::move(parent);
    name = resolvedName;
    return {};
}

} // namespace stampwell::platform

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

} // namespace stampwell::platform

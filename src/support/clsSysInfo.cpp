#include "support/clsSysInfo.h"

#include "platform/folders.h"

namespace stampwell::support {

std::string clsSysInfo::GetSpecialFolder(int CSIDL) const {
    if (CSIDL == kCsidlAppData)
        return platform::AppDataFolder();
    return {};
}

} // namespace stampwell::support

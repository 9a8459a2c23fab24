#pragma once

#include <string>

namespace stampwell::support {

// Shell special-folder identifiers (Windows' CSIDL numbering) that we resolve.
inline constexpr int kCsidlAppData = 26; // CSIDL_APPDATA

// Answers questions about the system.
class clsSysInfo {
public:
    // The special folder's path without a trailing separator, or "" when the
    // identifier is unknown here or the folder cannot be found. CSIDL_APPDATA
    // is the user's roaming application-data folder ($XDG_CONFIG_HOME, else
    // ~/.config, outside Windows).
    std::string GetSpecialFolder(int CSIDL) const;
};

} // namespace stampwell::support

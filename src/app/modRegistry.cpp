#include "app/modRegistry.h"

#include "app/constants.h"
#include "platform/userstore.h"

namespace stampwell::app {

platform::SysError SaveStringValue(std::string_view subKey, std::string_view name,
                                   std::string_view text) {
    return platform::WriteUserString(std::string(subKey), std::string(name), std::string(text));
}

platform::SysError SaveSetting(std::string_view application, std::string_view section,
                               std::string_view name, std::string_view value) {
    return SaveStringValue("Software\\" + std::string(application) + "\\" + std::string(section),
                           name, value);
}

std::string RecordLanguage(std::string_view currentLanguage) {
    // Characters, not bytes: a UTF-8 sequence is never cut.
    std::string out;
    std::size_t characters = 0;
    for (const char c : currentLanguage) {
        const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
        if (!continuation && ++characters > 2)
            break;
        out += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    return out;
}

platform::SysError WriteRegistryRecord(std::string_view currentLanguage) {
    const platform::SysError version = SaveStringValue(kRegistryKey, "Version", kVersion);
    const platform::SysError language =
        SaveStringValue(kRegistryKey, "Language", RecordLanguage(currentLanguage));
    return version.Failed() ? version : language;
}

} // namespace stampwell::app

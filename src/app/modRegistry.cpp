#include "app/modRegistry.h"

#include "app/constants.h"
#include "platform/userstore.h"
#include "platform/utf8.h"
#include "platform/wildcard.h"

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
    // Characters, not bytes: a UTF-8 sequence is never cut, and letters beyond
    // ASCII are lowered too ("Ölsprache" gives "öl"). A byte that is not UTF-8
    // counts as one character and stays as it is.
    std::string out;
    std::size_t pos = 0;
    for (int characters = 0; characters < 2 && pos < currentLanguage.size(); ++characters) {
        const auto lead = static_cast<unsigned char>(currentLanguage[pos]);
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        bool valid = lead < 0x80 || (lead >= 0xC2 && lead < 0xF5);
        for (std::size_t k = 1; k < length && valid; ++k) {
            const auto next = pos + k < currentLanguage.size()
                                  ? static_cast<unsigned char>(currentLanguage[pos + k])
                                  : 0;
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
            out += currentLanguage[pos++];
            continue;
        }
        platform::AppendUtf8(platform::FoldCharacter(code), out);
        pos += length;
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

#include "updater/modRegistry.h"

#include "updater/record_file.h"

#include <cstdint>

namespace stampupdate {

std::string ReadRegistryText(RootKey root, const std::string& subKey,
                             const std::string& valueName) {
    const auto key = RegistryKey::Open(root, subKey);
    if (!key) {
        return {};
    }
    return QueryValueText(*key, valueName);
}

std::string QueryValueText(const RegistryKey& key, const std::string& valueName) {
    const auto info = key.Describe(valueName);
    if (!info) {
        return {};
    }
    if (info->type == kRegSz) {
        return key.ReadText(valueName, info->size).value_or("");
    }
    if (info->type == kRegBinary) {
        const auto bytes = key.ReadFourBytes(valueName);
        if (!bytes) {
            return {};
        }
        const auto word = static_cast<std::uint16_t>((*bytes)[0] | (*bytes)[1] << 8);
        return std::to_string(static_cast<std::int16_t>(word));
    }
    return {};
}

} // namespace stampupdate

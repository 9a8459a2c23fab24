#include "updater/registry_key.h"

#include "updater/record_file.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace stampupdate {
namespace {

// Where Stampwell keeps its record: $XDG_CONFIG_HOME when it is an absolute
// path, else ~/.config.
std::string RecordFilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/Quillbox/registry.reg";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        return {};
    }
    return std::string(home) + "/.config/Quillbox/registry.reg";
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return std::move(bytes).str();
}

} // namespace

struct RegistryKey::Impl {
    RecordValues values;

    const RecordValue* Find(const std::string& name) const { return FindValue(values, name); }
};

RegistryKey::RegistryKey(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::Open(RootKey root, const std::string& subKey) {
    const std::string path = RecordFilePath();
    const auto bytes = path.empty() ? std::nullopt : ReadWholeFile(path);
    if (!bytes) {
        return std::nullopt;
    }
    const std::string rootName = root == RootKey::CurrentUser ? "HKEY_CURRENT_USER" : "";
    const RecordFile file = RecordFile::Parse(*bytes);
    const RecordValues* values = file.Key(subKey.empty() ? rootName : rootName + '\\' + subKey);
    if (values == nullptr) {
        return std::nullopt;
    }
    return RegistryKey(std::make_unique<Impl>(Impl{*values}));
}

std::optional<ValueInfo> RegistryKey::Describe(const std::string& name) const {
    const RecordValue* value = impl_->Find(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return ValueInfo{value->type, value->data.size()};
}

std::optional<std::string> RegistryKey::ReadText(const std::string& name, std::size_t size) const {
    const RecordValue* value = impl_->Find(name);
    if (value == nullptr || value->type != kRegSz || value->data.size() > size) {
        return std::nullopt;
    }
    const auto end = std::find(value->data.begin(), value->data.end(), 0);
    return std::string(value->data.begin(), end);
}

std::optional<std::array<unsigned char, 4>>
RegistryKey::ReadFourBytes(const std::string& name) const {
    const RecordValue* value = impl_->Find(name);
    if (value == nullptr || value->data.size() > 4) {
        return std::nullopt;
    }
    std::array<unsigned char, 4> buffer{};
    std::copy(value->data.begin(), value->data.end(), buffer.begin());
    return buffer;
}

} // namespace stampupdate

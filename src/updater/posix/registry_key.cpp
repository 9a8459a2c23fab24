#include "updater/registry_key.h"

#include "updater/record_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stampupdate {
namespace {

// The home folder: $HOME when it is an absolute path, else the user's entry in
// the password database.
std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid());
        entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return {};
}

// Where Stampwell keeps its record: $XDG_CONFIG_HOME when it is an absolute
// path (a relative one is ignored, as the XDG rules say), else ~/.config.
std::string RecordFilePath() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME");
        config != nullptr && config[0] == '/') {
        return std::string(config) + "/Quillbox/registry.reg";
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config/Quillbox/registry.reg";
}

// The record file's bytes: a regular file (links followed) of at most 4 MiB.
// Anything else is no record; a pipe or a device is never waited on.
std::optional<std::string> ReadRecordFile(const std::string& path) {
    constexpr std::size_t kLimit = 4 * 1024 * 1024;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uint64_t>(info.st_size) <= kLimit) {
        bytes.emplace();
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0 || bytes->size() + static_cast<std::size_t>(got) > kLimit) {
                bytes.reset();
            }
            if (got <= 0 || !bytes) {
                break;
            }
            bytes->append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return bytes;
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
    const auto bytes = path.empty() ? std::nullopt : ReadRecordFile(path);
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

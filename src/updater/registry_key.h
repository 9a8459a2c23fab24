#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace stampupdate {

enum class RootKey { CurrentUser };

// What a query without a buffer tells about a value.
struct ValueInfo {
    std::uint32_t type = 0;
    std::size_t size = 0; // in bytes, as the store reports it
};

// One key of the per-user registry, open for reading: the Windows registry, or
// elsewhere the record file that Stampwell writes ($XDG_CONFIG_HOME, else
// ~/.config, then Quillbox/registry.reg), read once when the key is opened.
// The handle is closed when the object goes.
class RegistryKey {
public:
    // Nothing when the key cannot be opened (missing key, missing or unreadable file).
    static std::optional<RegistryKey> Open(RootKey root, const std::string& subKey);

    RegistryKey(RegistryKey&&) noexcept;
    RegistryKey& operator=(RegistryKey&&) noexcept;
    ~RegistryKey();

    // Type and size of a value; nothing when it is missing or cannot be read.
    std::optional<ValueInfo> Describe(const std::string& name) const;

    // A REG_SZ value read into a buffer of `size` bytes, as UTF-8 up to its first
    // NUL (the whole buffer when it has none). Nothing when the value is no longer
    // a REG_SZ, does not fit or cannot be read.
    std::optional<std::string> ReadText(const std::string& name, std::size_t size) const;

    // A value read into a 4-byte buffer, zero past the value's end. Nothing when
    // it is longer than 4 bytes: nothing past the buffer is ever read.
    std::optional<std::array<unsigned char, 4>> ReadFourBytes(const std::string& name) const;

private:
    struct Impl;
    explicit RegistryKey(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace stampupdate

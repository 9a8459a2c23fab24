#include "platform/posix/ntfs.h"

#include <cerrno>
#include <sys/xattr.h>

namespace stampwell::platform::posix {

namespace {

constexpr char kCreationTime[] = "system.ntfs_crtime";
constexpr char kAttributes[] = "system.ntfs_attrib";
constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

// Both values are little-endian whatever the machine's byte order.
template <int N> void PutLittleEndian(std::uint64_t value, unsigned char (&bytes)[N]) {
    for (int i = 0; i < N; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

template <int N> std::uint64_t GetLittleEndian(const unsigned char (&bytes)[N]) {
    std::uint64_t value = 0;
    for (int i = N - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

template <int N> SysError ReadValue(const At& item, const char* name, std::uint64_t& value) {
    unsigned char bytes[N] = {};
    const ssize_t size = item.GetXattr(name, bytes, sizeof bytes);
    if (size < 0)
        return LastSysError();
    if (size != N)
        return MakeSysError(EBADMSG);
    value = GetLittleEndian(bytes);
    return {};
}

template <int N> SysError WriteValue(const At& item, const char* name, std::uint64_t value) {
    unsigned char bytes[N] = {};
    PutLittleEndian(value, bytes);
    if (item.SetXattr(name, bytes, sizeof bytes) != 0)
        return LastSysError();
    return {};
}

} // namespace

std::optional<std::uint64_t> ToNtfsTicks(FileTime time) {
    constexpr std::int64_t kLastSecond = INT64_MAX / kTicksPerSecond - kSecondsFrom1601To1970 - 1;
    if (time.seconds < -kSecondsFrom1601To1970 || time.seconds > kLastSecond ||
        time.nanoseconds >= 1'000'000'000u)
        return std::nullopt;
    return static_cast<std::uint64_t>((time.seconds + kSecondsFrom1601To1970) * kTicksPerSecond +
                                      time.nanoseconds / 100);
}

FileTime FromNtfsTicks(std::uint64_t ticks) {
    const auto seconds = static_cast<std::int64_t>(ticks / kTicksPerSecond);
    return {seconds - kSecondsFrom1601To1970,
            static_cast<std::uint32_t>(ticks % kTicksPerSecond) * 100};
}

SysError ReadNtfsCreationTime(const At& item, FileTime& time) {
    std::uint64_t ticks = 0;
    if (auto error = ReadValue<8>(item, kCreationTime, ticks); error.Failed())
        return error;
    time = FromNtfsTicks(ticks);
    return {};
}

SysError WriteNtfsCreationTime(const At& item, FileTime time) {
    const auto ticks = ToNtfsTicks(time);
    if (!ticks)
        return MakeSysError(EINVAL);
    return WriteValue<8>(item, kCreationTime, *ticks);
}

SysError ReadNtfsAttributes(const At& item, std::uint32_t& word) {
    std::uint64_t value = 0;
    if (auto error = ReadValue<4>(item, kAttributes, value); error.Failed())
        return error;
    word = static_cast<std::uint32_t>(value);
    return {};
}

SysError WriteNtfsAttributes(const At& item, std::uint32_t word) {
    return WriteValue<4>(item, kAttributes, word);
}

} // namespace stampwell::platform::posix

#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace stampupdate {

// Value types, numbered as the Windows registry numbers them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// One value as the registry would hand it out: REG_SZ as UTF-8 with its ending
// NUL, every other type as its raw bytes.
struct RecordValue {
    std::uint32_t type = 0;
    std::vector<unsigned char> data;
};

// Values of one key by name; names are kept in ASCII lower case, because the
// registry compares them without regard to case.
using RecordValues = std::map<std::string, RecordValue>;

// A value of a key by name, in any case; nullptr when there is none.
const RecordValue* FindValue(const RecordValues& values, std::string_view name);

// The per-user record file in regedit's export form ("Windows Registry Editor
// Version 5.00", [key] sections, "Name"="text", "Name"=hex:.., "Name"=dword:..),
// in UTF-8 or in UTF-16LE with its byte-order mark, by the rules README.md
// gives for the record: CR LF, LF or a lone CR end a line, blanks around a line
// do not count, a key or value given twice counts as the later one, and only a
// hex list goes on over lines. Lines that do not parse are passed over, so a
// damaged file still yields what it holds intact. Linear in the file's size.
class RecordFile {
public:
    static RecordFile Parse(std::string_view bytes);

    // The values of a key given by its full path ("HKEY_CURRENT_USER\Software\..."),
    // empty for a key that only has sub-keys; nullptr when there is no such key.
    const RecordValues* Key(std::string_view path) const;

private:
    std::map<std::string, RecordValues> keys_; // full paths in ASCII lower case
};

// UTF-16LE bytes as UTF-8; an odd last byte is dropped and lone surrogates
// become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

} // namespace stampupdate

#pragma once

#include "platform/syserror.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// INI text the classic profile way. Reading: section and key names compare
// without regard to ASCII case, blanks around names and values are trimmed, a
// value in matching quotes loses them, lines starting with ';' are comments,
// and the first occurrence of a section or key counts. Values are read whole.
// Writing changes that one key's line in place, or adds the key at the end of
// its section, or the section at the end of the text; every other byte stays.
namespace stampwell::app {

// Not a system code: the write was refused because the text cannot be stored
// in a line of its own (a line break in it, or a name with '=', '[' or ']').
inline constexpr int kIniUnstorableText = -1;

// Every value of a text, found by section and key in one pass over it.
class IniValues {
public:
    IniValues() = default;
    explicit IniValues(std::string_view text);
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    bool Empty() const { return values_.empty(); }

private:
    std::unordered_map<std::string, std::string> values_; // by lower-case "section\nkey"
};

std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// The text with the key set. The caller has checked the names and the value
// with IsStorableIniText; new lines end the way the text's first line does
// (CR LF for a text without one). A value that starts or ends with a blank or
// a quote is written in quotes, so that it reads back exactly.
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

bool IsStorableIniText(std::string_view section, std::string_view key, std::string_view value);

// The value in a file (decoded as DecodeText does), or the default when the
// file, the section or the key is missing or unreadable.
std::string ReadIniValue(const std::string& file, std::string_view section, std::string_view key,
                         std::string_view defaultValue);

// Sets the value in a file, creating the file (not its folder), the section
// and the key when missing. The file is replaced atomically; a file that is
// not UTF-8 is stored as UTF-8 from then on.
platform::SysError WriteIniValue(const std::string& file, std::string_view section,
                                 std::string_view key, std::string_view value);

} // namespace stampwell::app

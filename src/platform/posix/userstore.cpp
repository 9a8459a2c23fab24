#include "platform/userstore.h"

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/utf8.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

// The store is one text file in regedit's export form, so the same record can
// be read by any reader of .reg files:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Olvadi\Quillbox\Stampwell]
//   "Version"="3.01.00"
//
// It is read by the rules README.md gives for the record, the rules
// Stampupdate reads it by: lines end in CR LF, LF or a lone CR, blanks around a
// line do not count, names compare without regard to case, and a key or value
// given twice counts as the later one (as regedit imports it). A write changes
// or adds only the value's own line; every other byte stays, and a file in
// UTF-16LE with its byte-order mark stays UTF-16LE.
namespace stampwell::platform {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRoot = "HKEY_CURRENT_USER\\";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string Lowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    return lower;
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// UTF-16LE as UTF-8; a lone surrogate becomes U+FFFD, an odd last byte is dropped.
std::string FromUtf16(std::string_view bytes) {
    std::string out;
    const auto unit = [&](std::size_t i) -> char32_t {
        return static_cast<unsigned char>(bytes[i]) |
               static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t first = unit(i);
        if (first >= 0xD800 && first < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) < 0xE000) {
            AppendUtf8(0x10000 + ((first - 0xD800) << 10) + (unit(i + 2) - 0xDC00), out);
            i += 2;
        } else {
            AppendUtf8(first >= 0xD800 && first < 0xE000 ? 0xFFFD : first, out);
        }
    }
    return out;
}

// UTF-8 as UTF-16LE; a byte that is not UTF-8 becomes U+FFFD.
std::string ToUtf16(std::string_view text) {
    std::string out;
    const auto put = [&](char32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        bool valid = lead < 0x80 || (lead >= 0xC2 && lead < 0xF5);
        for (std::size_t k = 1; k < length && valid; ++k) {
            valid = i + k < text.size() && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
            code = valid ? (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F) : code;
        }
        if (!valid) {
            put(0xFFFD);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            put(0xD800 + ((code - 0x10000) >> 10));
            put(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            put(code);
        }
        i += length;
    }
    return out;
}

// One line: its text in UTF-8 without its end, for reading, and its bytes as
// the file has them, end included, for writing back.
struct RegLine {
    std::string text;
    std::string bytes;
    bool ended = true;
};

struct RegFile {
    std::vector<RegLine> lines;
    bool utf16 = false;
    std::string lineEnd = "\n"; // for new lines: the end of the file's first line

    std::string Encoded(std::string_view text) const {
        return utf16 ? ToUtf16(text) : std::string(text);
    }
    RegLine Line(const std::string& text) const { return {text, Encoded(text + lineEnd), true}; }
};

RegFile Split(std::string_view bytes) {
    RegFile file;
    file.utf16 = bytes.starts_with(kUtf16Mark);
    const std::size_t unit = file.utf16 ? 2 : 1;
    const auto at = [&](std::size_t i) {
        return file.utf16 && bytes[i + 1] != '\0' ? '\0' : bytes[i];
    };
    const auto decoded = [&](std::size_t from, std::size_t to) {
        return file.utf16 ? FromUtf16(bytes.substr(from, to - from))
                          : std::string(bytes.substr(from, to - from));
    };
    std::size_t lineStart = 0;
    std::size_t textStart = file.utf16                     ? kUtf16Mark.size()
                            : bytes.starts_with(kUtf8Mark) ? kUtf8Mark.size()
                                                           : 0;
    bool firstEnd = true;
    std::size_t i = textStart;
    while (i + unit <= bytes.size()) {
        const char c = at(i);
        if (c != '\r' && c != '\n') {
            i += unit;
            continue;
        }
        const std::size_t textEnd = i;
        i += unit;
        if (c == '\r' && i + unit <= bytes.size() && at(i) == '\n')
            i += unit;
        file.lines.push_back({decoded(textStart, textEnd),
                              std::string(bytes.substr(lineStart, i - lineStart)), true});
        if (firstEnd)
            file.lineEnd = decoded(textEnd, i);
        firstEnd = false;
        lineStart = textStart = i;
    }
    if (lineStart < bytes.size())
        file.lines.push_back(
            {decoded(textStart, bytes.size()), std::string(bytes.substr(lineStart)), false});
    return file;
}

std::string Join(const RegFile& file) {
    std::string bytes;
    for (const RegLine& line : file.lines)
        bytes += line.bytes;
    return bytes;
}

// Puts a line in before index `at`; a last line without an end gets one first.
void Insert(RegFile& file, std::size_t at, const std::string& text) {
    if (at > 0 && !file.lines[at - 1].ended) {
        file.lines[at - 1].bytes += file.Encoded(file.lineEnd);
        file.lines[at - 1].ended = true;
    }
    file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(at), file.Line(text));
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// Reads a quoted text at text[0] with \\ and \" escapes and moves text past
// it; nothing when the quote is not closed.
std::optional<std::string> TakeQuoted(std::string_view& text) {
    if (text.empty() || text.front() != '"')
        return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
            ++i;
        out += text[i];
    }
    return std::nullopt;
}

// The key a "[...]" line opens (with a leading '-' for a removal), or nothing.
std::optional<std::string_view> KeyOfLine(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    return line.substr(1, line.size() - 2);
}

// A "Name"=data or @=data line: the name and the data after '='.
struct ValueLine {
    std::string name;
    std::string_view data;
};

std::optional<ValueLine> ParseValueLine(std::string_view line) {
    line = Trim(line);
    ValueLine value;
    if (line.starts_with('@')) {
        line.remove_prefix(1);
    } else if (auto name = TakeQuoted(line)) {
        value.name = std::move(*name);
    } else {
        return std::nullopt;
    }
    line = Trim(line);
    if (!line.starts_with('='))
        return std::nullopt;
    value.data = Trim(line.substr(1));
    return value;
}

bool IsHexNumber(std::string_view digits, std::size_t most) {
    return !digits.empty() && digits.size() <= most &&
           digits.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

// Only digits, commas and blanks: a line a hex list goes on in.
bool IsHexListLine(std::string_view line) {
    line = Trim(line);
    if (line.ends_with('\\'))
        line.remove_suffix(1);
    return line.find_first_not_of("0123456789abcdefABCDEF, \t") == std::string_view::npos;
}

// Whether data is a value Stampupdate takes: a closed quoted text, dword: with
// up to 8 hex digits, or hex: / hex(type): with a list of bytes.
bool IsValidData(std::string_view data) {
    if (data.starts_with('"'))
        return TakeQuoted(data) && Trim(data).empty();
    const std::string lower = Lowered(data);
    if (lower.starts_with("dword:"))
        return IsHexNumber(Trim(data.substr(6)), 8);
    std::string_view list;
    if (lower.starts_with("hex:")) {
        list = data.substr(4);
    } else if (lower.starts_with("hex(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos || !IsHexNumber(data.substr(4, close - 4), 8))
            return false;
        list = data.substr(close + 2);
    } else {
        return false;
    }
    for (list = Trim(list); !list.empty();) {
        const std::size_t comma = list.find(',');
        const std::string_view byte = Trim(list.substr(0, comma));
        const std::size_t zeros = std::min(byte.find_first_not_of('0'), byte.size());
        if (!IsHexNumber(byte, 8) || byte.size() - zeros > 2)
            return false;
        if (comma == std::string_view::npos)
            break;
        list = Trim(list.substr(comma + 1));
    }
    return true;
}

// The line after a value's last line: a line ending in '\' goes on in the
// next one while that holds only a hex list. `joined` gets the whole value line.
std::size_t ValueEnd(const RegFile& file, std::size_t line, std::string& joined) {
    joined = Trim(file.lines[line].text);
    std::size_t next = line + 1;
    while (joined.ends_with('\\') && next < file.lines.size() &&
           IsHexListLine(file.lines[next].text)) {
        joined.pop_back();
        joined += Trim(file.lines[next++].text);
    }
    return next;
}

// Where a value is: the line that gives it now, and the key's last block
// (its "[...]" line) after the key's last removal.
struct Place {
    std::optional<std::size_t> valueLine;
    std::optional<std::size_t> lastBlock;
};

Place Find(const RegFile& file, std::string_view key, std::string_view name) {
    const std::string path = Lowered(std::string(kRoot) + std::string(key));
    const std::string lowerName = Lowered(name);
    Place place;
    bool inKey = false;
    for (std::size_t i = 0; i < file.lines.size();) {
        if (const auto header = KeyOfLine(file.lines[i].text)) {
            const std::string opened = Lowered(*header);
            if (opened.starts_with('-')) {
                // A removed key takes its sub-keys with it.
                const std::string_view removed = std::string_view(opened).substr(1);
                if (path == removed || (path.starts_with(removed) && path[removed.size()] == '\\'))
                    place = {};
                inKey = false;
            } else {
                inKey = opened == path;
                if (inKey)
                    place.lastBlock = i;
            }
            ++i;
            continue;
        }
        std::string joined;
        const std::size_t next = ValueEnd(file, i, joined);
        const auto value = inKey ? ParseValueLine(joined) : std::nullopt;
        if (value && Lowered(value->name) == lowerName) {
            if (value->data == "-")
                place.valueLine.reset();
            else if (IsValidData(value->data))
                place.valueLine = i;
        }
        i = next;
    }
    return place;
}

SysError Load(RegFile& file) {
    std::string bytes;
    const SysError error = ReadSettingsFile(UserStoreFile(), bytes);
    if (error.Failed() && error.code != ENOENT)
        return error;
    file = Split(bytes);
    if (file.lines.empty())
        file.lines = {file.Line(std::string(kHeader)), file.Line("")};
    return {};
}

} // namespace

std::string UserStoreFile() {
    const std::string folder = AppDataFolder();
    return folder.empty() ? std::string() : folder + "/Quillbox/registry.reg";
}

SysError WriteUserString(const std::string& key, const std::string& name,
                         const std::string& value) {
    if (UserStoreFile().empty())
        return MakeSysError(ENOENT);
    if (key.find_first_of("[]\r\n") != std::string::npos ||
        (name + value).find_first_of("\r\n") != std::string::npos)
        return MakeSysError(EINVAL);
    RegFile file;
    if (const SysError error = Load(file); error.Failed())
        return error;

    const std::string valueLine = Quoted(name) + "=" + Quoted(value);
    const Place place = Find(file, key, name);
    if (place.valueLine) {
        // The old value's own lines, a hex list's further lines among them, give way to ours.
        std::string joined;
        const std::size_t end = ValueEnd(file, *place.valueLine, joined);
        RegLine& line = file.lines[*place.valueLine];
        line = RegLine{valueLine, file.Encoded(valueLine + (line.ended ? file.lineEnd : "")),
                       line.ended};
        file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(*place.valueLine) + 1,
                         file.lines.begin() + static_cast<std::ptrdiff_t>(end));
    } else if (place.lastBlock) {
        std::size_t at = *place.lastBlock + 1;
        for (std::size_t i = at; i < file.lines.size() && !KeyOfLine(file.lines[i].text); ++i)
            if (!Trim(file.lines[i].text).empty())
                at = i + 1;
        Insert(file, at, valueLine);
    } else {
        if (!Trim(file.lines.back().text).empty())
            Insert(file, file.lines.size(), "");
        Insert(file, file.lines.size(), "[" + std::string(kRoot) + key + "]");
        Insert(file, file.lines.size(), valueLine);
        Insert(file, file.lines.size(), "");
    }

    const std::string path = UserStoreFile();
    const std::string folder = path.substr(0, path.rfind('/'));
    if (const SysError error = CreateFolderPath(folder); error.Failed())
        return error;
    return WriteFileAtomically(path, Join(file));
}

std::optional<std::string> ReadUserString(const std::string& key, const std::string& name) {
    RegFile file;
    if (UserStoreFile().empty() || Load(file).Failed())
        return std::nullopt;
    const Place place = Find(file, key, name);
    if (!place.valueLine)
        return std::nullopt;
    std::string joined;
    ValueEnd(file, *place.valueLine, joined);
    std::string_view data = ParseValueLine(joined)->data;
    return TakeQuoted(data);
}

SysError RemoveUserKey(const std::string& key) {
    RegFile file;
    if (UserStoreFile().empty())
        return MakeSysError(ENOENT);
    if (const SysError error = Load(file); error.Failed())
        return error;
    const std::string own = Lowered(std::string(kRoot) + key);
    bool changed = false;
    // The key's own blocks and those of its sub-keys, each up to the next "[...]" line.
    for (std::size_t i = 0; i < file.lines.size();) {
        const auto header = KeyOfLine(file.lines[i].text);
        const std::string opened = header ? Lowered(*header) : std::string();
        if (!header || !(opened == own || opened.starts_with(own + '\\'))) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < file.lines.size() && !KeyOfLine(file.lines[end].text))
            ++end;
        file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(i),
                         file.lines.begin() + static_cast<std::ptrdiff_t>(end));
        changed = true;
    }
    return changed ? WriteFileAtomically(UserStoreFile(), Join(file)) : SysError{};
}

} // namespace stampwell::platform

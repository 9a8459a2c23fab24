#include "updater/record_file.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace stampupdate {
namespace {

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// The file's text in UTF-8, whichever of the two encodings it was saved in.
std::string DecodeFile(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        return Utf16LeToUtf8(bytes.substr(2));
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    return std::string(bytes);
}

// Only hex digits, commas and blanks (and a final backslash): a line that a
// hex list goes on in.
bool IsHexListLine(std::string_view line) {
    if (line.ends_with('\\')) {
        line.remove_suffix(1);
    }
    return line.find_first_not_of("0123456789abcdefABCDEF, \t") == std::string_view::npos;
}

// The lines without blanks around them. CR LF, LF and a lone CR each end a
// line. A line that ends in a backslash goes on in the next one while that
// holds only a hex list; any other next line stands on its own.
std::vector<std::string> LogicalLines(std::string_view text) {
    std::vector<std::string> lines;
    bool continues = false;
    while (!text.empty()) {
        const auto end = text.find_first_of("\r\n");
        std::string_view line = TrimBlanks(text.substr(0, end));
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end != std::string_view::npos && text[end] == '\r' && next < text.size() &&
            text[next] == '\n') {
            ++next;
        }
        text.remove_prefix(next);
        if (continues && IsHexListLine(line)) {
            lines.back().pop_back(); // the backslash
            lines.back() += line;
        } else {
            lines.emplace_back(line);
        }
        continues = lines.back().ends_with('\\');
    }
    return lines;
}

// A quoted text with \\ and \" escapes starting at text[0] == '"'; moves text
// past the closing quote. Nothing when the quote is not closed.
std::optional<std::string> TakeQuoted(std::string_view& text) {
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
            ++i;
        }
        out += text[i];
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ParseHex(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const char c : digits) {
        value <<= 4;
        if (c >= '0' && c <= '9') {
            value |= static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            value |= static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            value |= static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
    }
    return value;
}

// "01,ff, 2a" as bytes.
std::optional<std::vector<unsigned char>> ParseHexList(std::string_view list) {
    std::vector<unsigned char> bytes;
    list = TrimBlanks(list);
    while (!list.empty()) {
        const auto comma = list.find(',');
        const auto byte = ParseHex(TrimBlanks(list.substr(0, comma)));
        if (!byte || *byte > 0xFF) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<unsigned char>(*byte));
        if (comma == std::string_view::npos) {
            break;
        }
        list.remove_prefix(comma + 1);
    }
    return bytes;
}

// The data after '=': "text", dword:xxxxxxxx, hex:.. or hex(type):..
std::optional<RecordValue> ParseData(std::string_view data) {
    if (data.starts_with('"')) {
        auto text = TakeQuoted(data);
        if (!text || !TrimBlanks(data).empty()) {
            return std::nullopt;
        }
        RecordValue value{kRegSz, {text->begin(), text->end()}};
        value.data.push_back(0);
        return value;
    }
    const std::string lower = AsciiLower(data);
    if (lower.starts_with("dword:")) {
        const auto number = ParseHex(TrimBlanks(data.substr(6)));
        if (!number) {
            return std::nullopt;
        }
        RecordValue value{kRegDword, {}};
        for (int shift = 0; shift < 32; shift += 8) {
            value.data.push_back(static_cast<unsigned char>(*number >> shift));
        }
        return value;
    }
    std::uint32_t type = kRegBinary;
    std::string_view list;
    if (lower.starts_with("hex:")) {
        list = data.substr(4);
    } else if (lower.starts_with("hex(")) {
        const auto close = data.find("):");
        const auto number =
            close == std::string_view::npos ? std::nullopt : ParseHex(data.substr(4, close - 4));
        if (!number) {
            return std::nullopt;
        }
        type = *number;
        list = data.substr(close + 2);
    } else {
        return std::nullopt;
    }
    auto bytes = ParseHexList(list);
    if (!bytes) {
        return std::nullopt;
    }
    if (type == kRegSz) {
        // regedit writes a REG_SZ in hex form as UTF-16LE; keep it as UTF-8 like the rest.
        const std::string text = Utf16LeToUtf8(
            std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
        return RecordValue{kRegSz, {text.begin(), text.end()}};
    }
    return RecordValue{type, std::move(*bytes)};
}

} // namespace

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    const auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    };
    const std::size_t count = bytes.size() / 2 * 2;
    for (std::size_t i = 0; i < count; i += 2) {
        const std::uint32_t first = unit(i);
        if (first >= 0xD800 && first < 0xDC00 && i + 2 < count) {
            const std::uint32_t second = unit(i + 2);
            if (second >= 0xDC00 && second < 0xE000) {
                AppendUtf8(out, 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, first >= 0xD800 && first < 0xE000 ? 0xFFFD : first);
    }
    return out;
}

RecordFile RecordFile::Parse(std::string_view bytes) {
    RecordFile file;
    RecordValues* current = nullptr;
    for (const std::string& line : LogicalLines(DecodeFile(bytes))) {
        if (line.starts_with('[') && line.ends_with(']')) {
            const std::string path = AsciiLower(std::string_view(line).substr(1, line.size() - 2));
            current = nullptr;
            if (path.starts_with('-')) {
                // A removed key takes its sub-keys with it: in name order they
                // follow it, up to the first name past "key\" ('\\' + 1 is ']').
                const std::string removed = path.substr(1);
                file.keys_.erase(removed);
                file.keys_.erase(file.keys_.lower_bound(removed + '\\'),
                                 file.keys_.lower_bound(removed + ']'));
            } else {
                current = &file.keys_[path];
            }
            continue;
        }
        if (current == nullptr) {
            continue;
        }
        std::string_view rest = line;
        std::optional<std::string> name;
        if (rest.starts_with('@')) {
            name = std::string();
            rest.remove_prefix(1);
        } else if (rest.starts_with('"')) {
            name = TakeQuoted(rest);
        }
        rest = TrimBlanks(rest);
        if (!name || !rest.starts_with('=')) {
            continue;
        }
        rest = TrimBlanks(rest.substr(1));
        if (rest == "-") {
            current->erase(AsciiLower(*name));
        } else if (auto value = ParseData(rest)) {
            (*current)[AsciiLower(*name)] = std::move(*value);
        }
    }
    return file;
}

const RecordValue* FindValue(const RecordValues& values, std::string_view name) {
    const auto it = values.find(AsciiLower(name));
    return it == values.end() ? nullptr : &it->second;
}

const RecordValues* RecordFile::Key(std::string_view path) const {
    const std::string wanted = AsciiLower(path);
    if (const auto it = keys_.find(wanted); it != keys_.end()) {
        return &it->second;
    }
    static const RecordValues noValues;
    const auto below = keys_.lower_bound(wanted + '\\');
    if (below != keys_.end() && below->first.starts_with(wanted + '\\')) {
        return &noValues;
    }
    return nullptr;
}

} // namespace stampupdate

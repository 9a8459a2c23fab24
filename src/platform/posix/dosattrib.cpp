#include "platform/posix/dosattrib.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace stampwell::platform::posix {

namespace {

constexpr std::uint32_t kValidAttributes = 0x01;
constexpr std::uint32_t kValidCreationTime = 0x10;
constexpr std::uint16_t kNewVersion = 5;

// Where the creation time sits in each version's fields and how long they
// are: flags, word, then (3) EA size, size, allocation size, creation,
// change time; (4) the file's own birth time, creation; (5) creation. NDR
// aligns these 64-bit values to 4 bytes, so no padding comes between.
struct Layout {
    std::size_t creation;
    std::size_t length;
};

std::optional<Layout> LayoutOf(std::uint16_t version) {
    switch (version) {
    case 3:
        return Layout{28, 44};
    case 4:
        return Layout{16, 24};
    case 5:
        return Layout{8, 16};
    default:
        return std::nullopt;
    }
}

std::uint64_t GetLittleEndian(std::string_view bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

void PutLittleEndian(std::string& bytes, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

std::size_t Aligned(std::size_t at, std::size_t to) {
    return (at + to - 1) / to * to;
}

// "0x" and one to eight hex digits, the whole text.
std::optional<std::uint32_t> HexWord(std::string_view text) {
    if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return std::nullopt;
    std::uint32_t word = 0;
    for (const char c : text.substr(2)) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return std::nullopt;
        word = (word << 4) | static_cast<std::uint32_t>(digit);
    }
    return word;
}

std::string HexText(std::uint32_t word) {
    char text[16];
    const int length = std::snprintf(text, sizeof text, "0x%x", word);
    return std::string(text, static_cast<std::size_t>(length));
}

// The binary record's start: the text, its NUL, the version (2-aligned) and
// the level; the fields follow 4-aligned.
std::string Header(const std::string& text, std::uint16_t version) {
    std::string header = text;
    header.push_back('\0');
    header.resize(Aligned(header.size(), 2));
    const std::size_t at = header.size();
    header.resize(at + 4);
    PutLittleEndian(header, at, version, 2);
    PutLittleEndian(header, at + 2, version, 2);
    header.resize(Aligned(header.size(), 4));
    return header;
}

struct Binary {
    std::uint16_t version = 0;
    std::size_t fields = 0; // where the version's fields start
    Layout layout{};
};

std::optional<Binary> FindBinary(std::string_view bytes, std::size_t textEnd) {
    const std::size_t versionAt = Aligned(textEnd + 1, 2);
    if (versionAt + 4 > bytes.size())
        return std::nullopt;
    const auto version = static_cast<std::uint16_t>(GetLittleEndian(bytes, versionAt, 2));
    const auto level = static_cast<std::uint16_t>(GetLittleEndian(bytes, versionAt + 2, 2));
    const std::optional<Layout> layout = LayoutOf(version);
    const std::size_t fields = Aligned(versionAt + 4, 4);
    if (version != level || !layout || fields + layout->length > bytes.size())
        return std::nullopt;
    return Binary{version, fields, *layout};
}

} // namespace

DosAttrib ParseDosAttrib(std::string bytes) {
    DosAttrib value;
    const std::string_view all(bytes);
    const std::size_t textEnd = std::min(all.find('\0'), all.size());
    const std::optional<std::uint32_t> hex = HexWord(all.substr(0, textEnd));
    value.word = hex.value_or(0);
    if (textEnd + 1 >= all.size()) {
        value.form = hex ? DosAttrib::Form::Text : DosAttrib::Form::Foreign;
    } else if (const std::optional<Binary> binary = FindBinary(all, textEnd)) {
        value.form = DosAttrib::Form::Binary;
        const auto flags = static_cast<std::uint32_t>(GetLittleEndian(all, binary->fields, 4));
        if (flags & kValidAttributes)
            value.word = static_cast<std::uint32_t>(GetLittleEndian(all, binary->fields + 4, 4));
        if (flags & kValidCreationTime)
            value.created = GetLittleEndian(all, binary->fields + binary->layout.creation, 8);
    } else {
        value.form = DosAttrib::Form::Foreign;
    }
    value.bytes = std::move(bytes);
    return value;
}

std::optional<std::string> RewriteDosAttrib(const DosAttrib& value, std::uint32_t word,
                                            std::optional<std::uint64_t> created) {
    std::string result;
    std::size_t fields = 0;
    Layout layout{};
    switch (value.form) {
    case DosAttrib::Form::Foreign:
        return std::nullopt;
    case DosAttrib::Form::None:
    case DosAttrib::Form::Text:
        if (!created)
            return HexText(word);
        // Wine reads the text, Samba the record: the new value speaks to both.
        result = Header(HexText(word), kNewVersion);
        fields = result.size();
        layout = *LayoutOf(kNewVersion);
        result.resize(fields + layout.length);
        break;
    case DosAttrib::Form::Binary: {
        const std::string_view all(value.bytes);
        const std::size_t textEnd = all.find('\0');
        const Binary binary = *FindBinary(all, textEnd);
        // An empty text stays empty: Samba reads the record alone.
        result = Header(textEnd == 0 ? std::string() : HexText(word), binary.version);
        fields = result.size();
        layout = binary.layout;
        result.append(all.substr(binary.fields));
        break;
    }
    }
    auto flags = static_cast<std::uint32_t>(GetLittleEndian(result, fields, 4));
    flags |= kValidAttributes;
    PutLittleEndian(result, fields + 4, word, 4);
    if (created) {
        flags |= kValidCreationTime;
        PutLittleEndian(result, fields + layout.creation, *created, 8);
    } else {
        flags &= ~kValidCreationTime;
    }
    PutLittleEndian(result, fields, flags, 4);
    return result;
}

} // namespace stampwell::platform::posix

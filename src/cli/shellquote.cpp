#include "cli/shellquote.h"

#include "platform/files.h"

namespace stampwell::cli {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 character at text[pos], 0 for a byte that
// starts none (overlong forms and surrogates are not UTF-8).
std::size_t CharacterLength(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) {
        return pos + i < text.size() ? static_cast<unsigned char>(text[pos + i]) : 0u;
    };
    const unsigned lead = byte(0);
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!IsContinuation(static_cast<unsigned char>(byte(i))))
            return 0;
    return length;
}

// The C0 and C1 control characters and DEL: written as escapes.
bool IsControl(std::string_view character) {
    const auto lead = static_cast<unsigned char>(character[0]);
    if (character.size() == 1)
        return lead < 0x20 || lead == 0x7F;
    return lead == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
}

bool IsPlain(char c, bool first) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
        c == platform::kPathSeparator)
        return true;
    if (c == '#' || c == '~')
        return !first;
    return std::string_view("%+,-./:@]_{}").find(c) != std::string_view::npos;
}

bool NeedsQuotes(std::string_view path) {
    if (path.empty())
        return true;
    for (std::size_t pos = 0; pos < path.size();) {
        const std::size_t length = CharacterLength(path, pos);
        if (length == 0 || IsControl(path.substr(pos, length)) ||
            (length == 1 && !IsPlain(path[pos], pos == 0)))
            return true;
        pos += length;
    }
    return false;
}

void AppendEscape(std::string& out, unsigned char byte) {
    static constexpr std::string_view kNamed = "abtnvfr";
    if (byte >= '\a' && byte <= '\r') {
        out += '\\';
        out += kNamed[byte - '\a'];
        return;
    }
    out += '\\';
    out += static_cast<char>('0' + (byte >> 6));
    out += static_cast<char>('0' + ((byte >> 3) & 7));
    out += static_cast<char>('0' + (byte & 7));
}

} // namespace

std::string ShellQuoted(std::string_view path) {
    if (!NeedsQuotes(path))
        return std::string(path);
    // Pieces in '...' and in $'...' follow one another without a blank, which
    // the shell reads as one word.
    enum class Piece { None, Quoted, Escaped };
    Piece open = Piece::None;
    std::string out;
    const auto enter = [&](Piece piece) {
        if (open == piece)
            return;
        if (open != Piece::None)
            out += '\'';
        if (piece == Piece::Quoted)
            out += '\'';
        else if (piece == Piece::Escaped)
            out += "$'";
        open = piece;
    };
    for (std::size_t pos = 0; pos < path.size();) {
        const std::size_t length = CharacterLength(path, pos);
        if (length == 0 || IsControl(path.substr(pos, length))) {
            // A byte that is not UTF-8 is escaped alone; what follows it is
            // read afresh.
            const std::size_t end = pos + (length == 0 ? 1 : length);
            enter(Piece::Escaped);
            for (; pos < end; ++pos)
                AppendEscape(out, static_cast<unsigned char>(path[pos]));
        } else if (path[pos] == '\'') {
            enter(Piece::None);
            out += "\\'";
            ++pos;
        } else {
            enter(Piece::Quoted);
            out.append(path, pos, length);
            pos += length;
        }
    }
    enter(Piece::None);
    return out.empty() ? "''" : out;
}

} // namespace stampwell::cli

#include "platform/wildcard.h"

#include <algorithm>

namespace stampwell::platform {

namespace {

// A byte that is not part of valid UTF-8 stands for itself, above every
// Unicode character so that it never equals one.
constexpr char32_t kRawByte = 0x110000;

// Decodes the character at pos (strict UTF-8: no overlong forms, no
// surrogates) and moves pos past it.
char32_t NextCharacter(std::string_view text, std::size_t& pos) {
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        least = 0x10000;
    }
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return kRawByte + lead;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byteAt(pos + i);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kRawByte + lead;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return kRawByte + lead;
    }
    pos += length;
    return c;
}

// Simple case folding; the rest of the ASCII range needs no table.
char32_t Fold(char32_t c) {
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    if (c >= kRawByte)
        return c;
    return FoldCharacter(c);
}

} // namespace

WildcardPattern::WildcardPattern(std::string_view pattern) {
    everyName_ = pattern == "*" || pattern == "*.*";
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const char32_t c = NextCharacter(pattern, pos);
        const char next = pos < pattern.size() ? pattern[pos] : '\0';
        if (c == '?')
            tokens_.push_back({Kind::AnyOne, 0});
        else if (c == '*')
            tokens_.push_back({next == '.' ? Kind::RunToLastPoint : Kind::AnyRun, 0});
        else if (c == '.' && (next == '*' || next == '?' || next == '\0'))
            tokens_.push_back({Kind::PointOrEnd, 0});
        else
            tokens_.push_back({Kind::Character, Fold(c)});
    }
    states_.resize(tokens_.size() + 1);
    nextStates_.resize(tokens_.size() + 1);
}

bool WildcardPattern::Matches(std::string_view name) {
    if (everyName_)
        return true;
    // A set of positions in the pattern, advanced one character of the name
    // at a time: no backtracking, linear in name and pattern length.
    const std::size_t count = tokens_.size();
    const std::size_t lastPoint = name.rfind('.');
    // The positions reached without taking a character, before the one at pos.
    const auto skipEmpty = [&](std::vector<std::uint8_t>& states, std::size_t pos) {
        const bool atEnd = pos == name.size();
        const bool atPointOrEnd = atEnd || name[pos] == '.';
        for (std::size_t i = 0; i < count; ++i) {
            const Kind kind = tokens_[i].kind;
            if (states[i] &&
                (kind == Kind::AnyRun || kind == Kind::RunToLastPoint ||
                 (atEnd && kind == Kind::PointOrEnd) || (atPointOrEnd && kind == Kind::AnyOne)))
                states[i + 1] = 1;
        }
    };
    std::fill(states_.begin(), states_.end(), 0);
    states_[0] = 1;
    skipEmpty(states_, 0);
    std::size_t pos = 0;
    while (pos < name.size()) {
        const std::size_t at = pos;
        const char32_t c = Fold(NextCharacter(name, pos));
        std::fill(nextStates_.begin(), nextStates_.end(), 0);
        bool any = false;
        for (std::size_t i = 0; i < count; ++i) {
            if (!states_[i])
                continue;
            const Token& token = tokens_[i];
            switch (token.kind) {
            case Kind::Character:
                if (token.character == c)
                    nextStates_[i + 1] = any = true;
                break;
            case Kind::AnyOne:
                if (c != '.')
                    nextStates_[i + 1] = any = true;
                break;
            case Kind::AnyRun:
                nextStates_[i] = any = true;
                break;
            case Kind::RunToLastPoint:
                if (at != lastPoint)
                    nextStates_[i] = any = true;
                break;
            case Kind::PointOrEnd:
                if (c == '.')
                    nextStates_[i + 1] = any = true;
                break;
            }
        }
        if (!any)
            return false;
        skipEmpty(nextStates_, pos);
        states_.swap(nextStates_);
    }
    return states_[count] != 0;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    return WildcardPattern(pattern).Matches(name);
}

} // namespace stampwell::platform

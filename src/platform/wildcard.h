#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace stampwell::platform {

// A file-name pattern with the rules of Windows directory listings, for file
// systems whose own listing has none:
// - Names are compared case-insensitively with Unicode simple case folding
//   of UTF-8; bytes that are not UTF-8 compare exactly, one byte as one
//   character.
// - '*' matches any run of characters. '?' matches one character but never a
//   point; where the name has a point or has ended, '?' matches no character:
//   "a?.txt" matches "a.txt" and "ab.txt", "????????.???" every name of up
//   to eight characters and an optional point with up to three.
// - A point followed by '*' or '?' or ending the pattern also matches the
//   end of a name without one, and a '*' before a point stops at the name's
//   last point: "*.*" matches every name, "*." the names without a point,
//   "abc.*" also "abc".
// - There are no 8.3 alternate names.
class WildcardPattern {
public:
    explicit WildcardPattern(std::string_view pattern);

    // Whether every name matches (the pattern is "*" or "*.*"): the caller
    // may skip the test.
    bool MatchesEveryName() const { return everyName_; }

    // Keeps scratch space: one pattern object serves one thread at a time.
    bool Matches(std::string_view name);

private:
    enum class Kind : std::uint8_t { Character, AnyOne, AnyRun, RunToLastPoint, PointOrEnd };
    struct Token {
        Kind kind;
        char32_t character; // folded, for Kind::Character
    };

    std::vector<Token> tokens_;
    bool everyName_ = false;
    std::vector<std::uint8_t> states_;
    std::vector<std::uint8_t> nextStates_;
};

// Simple Unicode case folding of one character beyond ASCII, the same
// whatever locale the user runs in (the platform's tables).
char32_t FoldCharacter(char32_t c);

// One-off test of a name against a pattern.
bool WildcardMatch(std::string_view pattern, std::string_view name);

} // namespace stampwell::platform

#include "platform/wildcard.h"
#include "testing/wine.h"

#include <gtest/gtest.h>
#include <string>

using stampwell::platform::WildcardMatch;
using stampwell::platform::WildcardPattern;

namespace {

struct Case {
    const char* pattern;
    std::string name;
    bool matches;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << '"' << c.pattern << "\" ~ \"" << c.name.substr(0, 20) << '"';
}

class WildcardRules : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(WildcardRules, MatchLikeAWindowsListing) {
    const Case& c = GetParam();
    EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Wildcard, WildcardRules,
    ::testing::Values(
        Case{"*.txt", "a.txt", true}, Case{"*.txt", ".txt", true},
        Case{"*.txt", "a.txt.bak", false}, Case{"*.txt", "atxt", false},
        Case{"*.txt", "a.txt.", false}, Case{"a*b*c", "aXbYbZc", true},
        Case{"a*b*c", "aXbYbZ", false}, Case{"report", "report2", false},
        // "*.*" is every name, "*." the names without a point; "abc.*" and
        // "abc." also match "abc".
        Case{"*.*", "README", true}, Case{"*.*", "trailing.", true}, Case{"*.", "README", true},
        Case{"*.", "trailing.", true}, Case{"*.", "a.txt", false}, Case{"abc.*", "abc", true},
        Case{"abc.*", "abcdef", false}, Case{"abc.", "abc", true}, Case{"abc.", "abc.d", false},
        // '?' is one character, but none before a point or at the end of the
        // name, and never a point itself.
        Case{"a?c", "abc", true}, Case{"a?c", "ac", false}, Case{"a?c", "abbc", false},
        Case{"a?c", "a.c", false}, Case{"a?", "a", true}, Case{"a?.txt", "a.txt", true},
        Case{"*.??", "x.c", true}, Case{"*.??", "x.ccc", false}, Case{"*.??", "x", true},
        Case{"????????.???", "noext", true}, Case{"????????.???", "abcdefghi.txt", false},
        // Case is ignored, in ASCII and beyond.
        Case{"*.TXT", "a.txt", true}, Case{"A?Z", "abz", true}, Case{"ÄRGER*", "ärger.txt", true},
        Case{"ä", "a", false}, Case{"@[", "`{", false},
        // '?' is one character, not one byte.
        Case{"?.txt", "ä.txt", true}, Case{"?.txt", "€.txt", true}, Case{"?.txt", "😀.txt", true},
        Case{"??x", "äx", false},
        // Bytes that are not UTF-8 ("café" in Latin-1) compare exactly, one by one:
        // no case folding, and a raw byte is not the character it may mean.
        Case{"caf?.txt", "caf\xe9.txt", true}, Case{"caf\xc9*", "caf\xe9.txt", false},
        Case{"café*", "caf\xe9.txt", false}, Case{"??", "\xc3x", true},
        Case{"?", "\xc0\xaf", false}));

// Final sigma folds like sigma; Wine's case tables leave it as it is.
TEST(Wildcard, StarDotStarMatchesEveryNameAndFinalSigmaFoldsLikeSigma) {
    EXPECT_TRUE(WildcardPattern("*.*").MatchesEveryName());
    EXPECT_TRUE(WildcardPattern("*").MatchesEveryName());
    EXPECT_FALSE(WildcardPattern("*.txt").MatchesEveryName());
    EXPECT_EQ(WildcardMatch("*ς", "ΛΌΓΟΣ"), !stampwell::testing::UnderWine());
}

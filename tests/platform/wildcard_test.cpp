#include "platform/wildcard.h"
#include "testing/wine.h"

#include <gtest/gtest.h>

using stampwell::platform::WildcardMatch;
using stampwell::platform::WildcardPattern;

namespace {

struct Case {
    const char* pattern;
    const char* name;
    bool matches;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << '"' << c.pattern << "\" ~ \"" << c.name << '"';
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
        Case{"*.txt", "a.txt", true}, Case{"*.txt", ".txt", true}, Case{"*.txt", "a.b.txt", true},
        Case{"*.txt", "a.txt.bak", false}, Case{"*.txt", "atxt", false},
        Case{"*.txt", "a.txt.", false}, Case{"a*c", "ac", true}, Case{"a*b*c", "aXbYbZc", true},
        Case{"a*b*c", "aXbYbZ", false}, Case{"report", "report", true},
        Case{"report", "report2", false},
        // "*." is the names without a point; "abc.*" and "abc." also match "abc".
        Case{"*.", "README", true}, Case{"*.", "trailing.", true}, Case{"*.", "a.txt", false},
        Case{"abc.*", "abc", true}, Case{"abc.*", "abc.def", true}, Case{"abc.*", "abcdef", false},
        Case{"abc.", "abc", true}, Case{"abc.", "abc.", true}, Case{"abc.", "abc.d", false},
        // '?' is one character, but none before a point or at the end of the
        // name, and never a point itself.
        Case{"a?c", "abc", true}, Case{"a?c", "ac", false}, Case{"a?c", "abbc", false},
        Case{"a?c", "a.c", false}, Case{"a?", "a", true}, Case{"a?", "ab", true},
        Case{"a?", "abc", false}, Case{"a??", "a", true}, Case{"a?*", "a.b", true},
        Case{"a?.txt", "a.txt", true}, Case{"a?.txt", "ab.txt", true},
        Case{"a?.txt", "abc.txt", false}, Case{"?.txt", ".txt", true}, Case{"*.??", "x.c", true},
        Case{"*.??", "x.cc", true}, Case{"*.??", "x.ccc", false}, Case{"*.??", "x", true},
        Case{"????????.???", "a.b", true}, Case{"????????.???", "abc.de", true},
        Case{"????????.???", "abcdefgh.txt", true}, Case{"????????.???", "noext", true},
        Case{"????????.???", "abcdefghi.txt", false}, Case{"????????.???", "abc.defg", false},
        Case{"????????.???", "a.b.c", false}));

TEST(Wildcard, StarDotStarMatchesEveryNameWithOrWithoutAPoint) {
    for (const char* name : {"a.txt", "README", ".hidden", "a.b.c", "trailing."})
        EXPECT_TRUE(WildcardMatch("*.*", name)) << name;
    EXPECT_TRUE(WildcardPattern("*.*").MatchesEveryName());
    EXPECT_TRUE(WildcardPattern("*").MatchesEveryName());
    EXPECT_FALSE(WildcardPattern("*.txt").MatchesEveryName());
}

TEST(Wildcard, IgnoresCaseInAsciiAndBeyond) {
    EXPECT_TRUE(WildcardMatch("*.TXT", "a.txt"));
    EXPECT_TRUE(WildcardMatch("A?C", "abc"));
    EXPECT_TRUE(WildcardMatch("ÄRGER*", "ärger.txt"));
    EXPECT_TRUE(WildcardMatch("*ΣΟΦΊΑ", "σοφία"));
    // Final sigma folds like sigma; Wine's case tables leave it as it is.
    EXPECT_EQ(WildcardMatch("*ς", "ΛΌΓΟΣ"), !stampwell::testing::UnderWine());
    EXPECT_TRUE(WildcardMatch("привет.*", "ПРИВЕТ.doc"));
    EXPECT_TRUE(WildcardMatch("ＡＢ", "ａｂ")); // full-width letters
    EXPECT_FALSE(WildcardMatch("ä", "a"));
}

TEST(Wildcard, QuestionMarkIsOneCharacterNotOneByte) {
    EXPECT_TRUE(WildcardMatch("?.txt", "ä.txt"));
    EXPECT_TRUE(WildcardMatch("?.txt", "€.txt"));
    EXPECT_TRUE(WildcardMatch("?.txt", "😀.txt"));
    EXPECT_FALSE(WildcardMatch("??x", "äx"));
    EXPECT_TRUE(WildcardMatch("a?", "aé"));
}

TEST(Wildcard, BytesThatAreNotUtf8CompareExactly) {
    const std::string latin1 = "caf\xe9.txt"; // "café" in Latin-1
    EXPECT_TRUE(WildcardMatch("*.txt", latin1));
    EXPECT_TRUE(WildcardMatch("caf?.txt", latin1));
    EXPECT_TRUE(WildcardMatch("caf\xe9*", latin1));
    EXPECT_FALSE(WildcardMatch("caf\xc9*", latin1)) << "no case folding of raw bytes";
    EXPECT_FALSE(WildcardMatch("café*", latin1)) << "a raw byte is not the character it may mean";
    // A cut-off sequence and an overlong form are single raw bytes.
    EXPECT_TRUE(WildcardMatch("??", "\xc3"
                                    "x"));
    EXPECT_TRUE(WildcardMatch("??", "\xc0\xaf"));
    EXPECT_FALSE(WildcardMatch("?", "\xc0\xaf"));
}

TEST(Wildcard, APatternObjectServesManyNames) {
    WildcardPattern pattern("*.log");
    EXPECT_TRUE(pattern.Matches("a.log"));
    EXPECT_FALSE(pattern.Matches("a.txt"));
    EXPECT_TRUE(pattern.Matches("B.LOG"));
}

TEST(Wildcard, ManyStarsStayFast) {
    // Backtracking would take ages here; the matcher is linear.
    const std::string name(255, 'a');
    EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*a*a*a*a*a*a*b", name));
    EXPECT_TRUE(WildcardMatch("*a*a*a*a*a*a*a*a*a*a*a*a*", name));
}

#include "platform/posix/wildcard.h"

#include <gtest/gtest.h>

using stampwell::platform::posix::WildcardMatch;
using stampwell::platform::posix::WildcardPattern;

TEST(Wildcard, StarAndQuestionMark) {
    EXPECT_TRUE(WildcardMatch("*.txt", "a.txt"));
    EXPECT_TRUE(WildcardMatch("*.txt", ".txt"));
    EXPECT_TRUE(WildcardMatch("*.txt", "a.b.txt"));
    EXPECT_FALSE(WildcardMatch("*.txt", "a.txt.bak"));
    EXPECT_FALSE(WildcardMatch("*.txt", "atxt"));
    EXPECT_TRUE(WildcardMatch("a?c", "abc"));
    EXPECT_FALSE(WildcardMatch("a?c", "ac"));
    EXPECT_FALSE(WildcardMatch("a?c", "abbc"));
    EXPECT_TRUE(WildcardMatch("a*c", "ac"));
    EXPECT_TRUE(WildcardMatch("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(WildcardMatch("a*b*c", "aXbYbZ"));
    EXPECT_TRUE(WildcardMatch("report", "report"));
    EXPECT_FALSE(WildcardMatch("report", "report2"));
}

TEST(Wildcard, StarDotStarMatchesEveryNameWithOrWithoutAPoint) {
    for (const char* name : {"a.txt", "README", ".hidden", "a.b.c", "trailing."})
        EXPECT_TRUE(WildcardMatch("*.*", name)) << name;
    EXPECT_TRUE(WildcardPattern("*.*").MatchesEveryName());
    EXPECT_TRUE(WildcardPattern("*").MatchesEveryName());
    EXPECT_FALSE(WildcardPattern("*.txt").MatchesEveryName());
}

TEST(Wildcard, PointsAtTheEndOfThePattern) {
    // "*." is the names without a point; "abc.*" and "abc." also match "abc".
    EXPECT_TRUE(WildcardMatch("*.", "README"));
    EXPECT_TRUE(WildcardMatch("*.", "trailing."));
    EXPECT_FALSE(WildcardMatch("*.", "a.txt"));
    EXPECT_TRUE(WildcardMatch("abc.*", "abc"));
    EXPECT_TRUE(WildcardMatch("abc.*", "abc.def"));
    EXPECT_FALSE(WildcardMatch("abc.*", "abcdef"));
    EXPECT_TRUE(WildcardMatch("abc.", "abc"));
    EXPECT_TRUE(WildcardMatch("abc.", "abc."));
    EXPECT_FALSE(WildcardMatch("abc.", "abc.d"));
    EXPECT_FALSE(WildcardMatch("*.txt", "a.txt."));
}

TEST(Wildcard, IgnoresCaseInAsciiAndBeyond) {
    EXPECT_TRUE(WildcardMatch("*.TXT", "a.txt"));
    EXPECT_TRUE(WildcardMatch("A?C", "abc"));
    EXPECT_TRUE(WildcardMatch("ÄRGER*", "ärger.txt"));
    EXPECT_TRUE(WildcardMatch("*ΣΟΦΊΑ", "σοφία"));
    EXPECT_TRUE(WildcardMatch("*ς", "ΛΌΓΟΣ")); // final sigma folds like sigma
    EXPECT_TRUE(WildcardMatch("привет.*", "ПРИВЕТ.doc"));
    EXPECT_TRUE(WildcardMatch("ＡＢ", "ａｂ")); // full-width letters
    EXPECT_FALSE(WildcardMatch("ä", "a"));
}

TEST(Wildcard, QuestionMarkIsOneCharacterNotOneByte) {
    EXPECT_TRUE(WildcardMatch("?.txt", "ä.txt"));
    EXPECT_TRUE(WildcardMatch("?.txt", "€.txt"));
    EXPECT_TRUE(WildcardMatch("?.txt", "😀.txt"));
    EXPECT_FALSE(WildcardMatch("??.txt", "ä.txt"));
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

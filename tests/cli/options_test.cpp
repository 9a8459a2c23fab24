#include "cli/datetime.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/shellquote.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

namespace stampwell::cli {
namespace {

using engine::FailedStep;
using engine::TimeKind;

// Typed fields count, whatever the offset; the storable edges hold in any offset.
TEST(DateTime, TextGivesTheExactInstant) {
    std::string why;
    for (const auto& [text, instant] : std::vector<std::pair<const char*, platform::FileTime>>{
             {"2001-02-03 04:05:06Z", {981'173'106, 0}},
             {"2001-02-03 00:35:06-03:30", {981'173'106, 0}},
             {"1969-12-31 23:59:59.50Z", {-1, 500'000'000}},
             {"2001-02-03 04:05:06.123456789Z", {981'173'106, 123'456'789}},
             {"1601-01-01 00:00:00-23:59", {-11'644'387'260, 0}},
             {"30827-12-31 23:59:59.5Z", {910'670'515'199, 500'000'000}}})
        EXPECT_EQ(ParseDateTime(text, why), instant) << text;
}

// Malformed text is refused; so is text outside what every file system can
// store, typed in local time or not, and the refusal names the range.
TEST(DateTime, MalformedOrUnstorableTextIsRefused) {
    std::string why;
    for (const char* text :
         {"", "2001-02-03", "2001-2-3 04:05:06Z", "2001-02-30 04:05:06Z", "2001-02-03 24:00:00Z",
          "2001-02-03 04:60:00Z", "2001-02-03 04:05:60Z", "2001-02-03 04:05:06.Z",
          "2001-02-03 04:05:06.1234567890Z", "2001-02-03 04:05:06+24:00",
          "2001-02-03 04:05:06+01:60", "2001-02-03 04:05:06 Z", "2001-02-03 04:05:06Zx"})
        EXPECT_FALSE(ParseDateTime(text, why)) << text;
    for (const char* text :
         {"1600-12-31 23:59:59", "30828-01-01 00:00:00Z", "0000-02-30 00:00:00"}) {
        EXPECT_FALSE(ParseDateTime(text, why)) << text;
        EXPECT_NE(why.find("1601-01-01 00:00:00 to 30827-12-31 23:59:59"), std::string::npos)
            << why;
    }
}

// A real folder as PATH.
const std::string& Folder() {
    static const testing::TempFolder folder;
    static const std::string root = folder.Root();
    return root;
}

// The arguments after the program's name.
ParseResult Parse(std::vector<std::string> arguments, Options& options, std::string& message) {
    arguments.insert(arguments.begin(), "stampwell-cli");
    return ParseCommandLine(arguments, options, message);
}

// --copy, --swap and --clear-attr; the process tests run the other operations.
TEST(Options, OperationsAreRead) {
    Options options;
    std::string message;
    ASSERT_EQ(Parse({"--copy", "created=modified", "--clear-attr", "system,archive", Folder()},
                    options, message),
              ParseResult::Run)
        << message;
    EXPECT_EQ(options.job.times.type, engine::TimeOperation::Type::Copy);
    EXPECT_EQ(std::pair(options.job.times.target, options.job.times.source),
              std::pair(TimeKind::Created, TimeKind::Modified));
    EXPECT_FALSE(options.job.times.exchange || options.job.recursive);
    EXPECT_EQ(options.job.attributes.action, engine::AttributeAction::Clear);
    EXPECT_EQ(options.job.attributes.Bits(), engine::kAttrSystem | engine::kAttrArchive);
    options = {};
    ASSERT_EQ(Parse({"--swap", "accessed,modified", "-r", Folder()}, options, message),
              ParseResult::Run);
    EXPECT_TRUE(options.job.times.exchange && options.job.recursive);
    EXPECT_EQ(options.job.times.target, TimeKind::Accessed);
}

// Bad usage names the bad argument; --version prints and runs nothing.
TEST(Options, BadUsageNamesTheBadArgument) {
    const std::string& d = Folder();
    const std::string gone = d + "/no-such-item-ever";
    for (const auto& [arguments, named] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--filter", "*", d}, "--filter"},
             {{"--copy", "created", d}, "--copy"},
             {{"--copy", "born=modified", d}, "born"},
             {{"--set", "modified", d}, "KIND=DATETIME"},
             {{"--set", "modified=1600-12-31 23:59:59", d}, "1601-01-01"},
             {{"--set-attr", "archive,shiny", d}, "shiny"},
             {{"--copy", "created=modified", "--swap", "created,modified", d}, "--"},
             {{}, "PATH"},
             {{gone}, gone},
             {{"--version"}, "stampwell-cli 3.01.00\n"}}) {
        Options options;
        std::string message;
        EXPECT_EQ(Parse(arguments, options, message),
                  named.ends_with("\n") ? ParseResult::Help : ParseResult::Usage);
        EXPECT_NE(message.find(named), std::string::npos) << message;
    }
}

class ShellQuotedName : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

// Only names that need it are quoted; bytes that are no printable UTF-8 are escaped.
TEST_P(ShellQuotedName, IsPrintedSoAShellReadsItBack) {
    EXPECT_EQ(ShellQuoted(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ShellQuotedName,
    ::testing::Values(
        std::pair{"AZaz09/b-1.2_x@y:z,w+v%u]{}#~", "AZaz09/b-1.2_x@y:z,w+v%u]{}#~"},
        std::pair{"", "''"}, std::pair{"#a", "'#a'"}, std::pair{"a b*?$(c)", "'a b*?$(c)'"},
        std::pair{"a'b", "'a'\\''b'"}, std::pair{"\nb", "$'\\n''b'"},
        std::pair{"a\tb\x1b", "'a'$'\\t''b'$'\\033'"}, std::pair{"a\x7f\r\a", "'a'$'\\177\\r\\a'"},
        std::pair{"a\xc2\x85-", "'a'$'\\302\\205''-'"},
        // Overlong (two and three bytes), a surrogate, cut short, past U+10FFFF, no lead byte.
        std::pair{"\xc0\xaf\xe0\x9f\xbf\xed\xa0\x80\xe2\x82x\xf4\x90\x80\x80\xf5\x80\x80\x80",
                  "$'\\300\\257\\340\\237\\277\\355\\240\\200\\342\\202''x'$'"
                  "\\364\\220\\200\\200\\365\\200\\200\\200'"},
        // The first and last of each length, and those next to the forms left out.
        std::pair{
            "\xc2\xa0\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xef\xbf\xbd\xf0\x90\x80\x80\xf4\x8f\xbf\xbf",
            "\xc2\xa0\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xef\xbf\xbd\xf0\x90\x80\x80\xf4\x8f\xbf"
            "\xbf"}));

// What was done (times, then attributes), then what failed and why.
TEST(Report, ItemLinesSayWhatWasDoneAndWhatFailedWhy) {
    constexpr auto kC = engine::KindBit(TimeKind::Created),
                   kM = engine::KindBit(TimeKind::Modified),
                   kA = engine::KindBit(TimeKind::Accessed);
    constexpr auto kHidden = engine::kAttrHidden, kSystem = engine::kAttrSystem,
                   kArchive = engine::kAttrArchive;
    const platform::SysError no{95, "Operation not supported"};
    const auto line = [](engine::TimeKindSet kinds, std::uint32_t before, std::uint32_t after,
                         std::vector<engine::Failure> failures = {}) {
        engine::ItemReport report{"d/f", engine::ItemType::File, {}, {before, after},
                                  {},    std::move(failures)};
        for (const auto kind : {TimeKind::Created, TimeKind::Modified, TimeKind::Accessed})
            if ((kinds & engine::KindBit(kind)) != 0)
                engine::SetTimeOf(report.times.update, kind, platform::FileTime{1, 0});
        return DescribeItem(report);
    };
    EXPECT_EQ(line(0, 0, 0), "d/f: unchanged");
    EXPECT_EQ(line(kC | kM | kA, engine::kAttrReadOnly | kSystem, 0),
              "d/f: created, modified and accessed times set; readonly and system cleared");
    EXPECT_EQ(line(kM, 0, kArchive | kHidden,
                   {{"d/f", FailedStep::WriteAttributes, no, kArchive | kSystem, 0}}),
              "d/f: modified time set; hidden set; archive: not set: Operation not supported");
    EXPECT_EQ(line(kM | kA, 0, 0, {{"d/f", FailedStep::TimesNotKept, {}, 0, kA}}),
              "d/f: accessed time: not set: the file system did not keep the value; the old times "
              "were put back");
    EXPECT_EQ(
        line(0, kHidden | kSystem, 0, {{"d/f", FailedStep::AttributesNotKept, {}, kHidden, 0}}),
        "d/f: system cleared; hidden: not cleared: the file system did not keep the change");
    EXPECT_EQ(DescribeFailure({"d/s t", FailedStep::ListFolder, no, 0, 0}),
              "'d/s t': folder not searched: Operation not supported");
}

} // namespace
} // namespace stampwell::cli

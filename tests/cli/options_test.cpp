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
             {"2001-02-03 04:05:06+23:59", {981'086'766, 0}},
             {"2001-02-03 04:05:06.123456789Z", {981'173'106, 123'456'789}},
             {"2999-09-29 19:59:09.9Z", {32'495'630'349, 900'000'000}},
             {"1601-01-01 00:00:00-01:00", {-11'644'470'000, 0}},
             {"30827-12-31 23:59:59.5Z", {910'670'515'199, 500'000'000}}})
        EXPECT_EQ(ParseDateTime(text, why), instant) << text;
}

// Malformed text is refused; so is text outside what every file system can
// store, typed in local time or not, and the refusal names the range.
TEST(DateTime, MalformedOrUnstorableTextIsRefused) {
    std::string why;
    for (const char* text :
         {"", "2001-02-03", "2001-02-03T04:05:06Z", "2001-2-3 04:05:06Z", "2001-02-30 04:05:06Z",
          "2001-02-03 24:00:00Z", "2001-02-03 04:60:00Z", "2001-02-03 04:05:60Z",
          "2001-02-03 04:05:06.Z", "2001-02-03 04:05:06.1234567890Z", "2001-02-03 04:05:06+2:00",
          "2001-02-03 04:05:06+24:00", "2001-02-03 04:05:06+01:60", "2001-02-03 04:05:06 Z",
          "2001-02-03 04:05:06Zx", "2001-02-03 04:05:0aZ", "2001-02-03 04:05:06+0a:00",
          "200a-02-03 04:05:06Z"})
        EXPECT_FALSE(ParseDateTime(text, why)) << text;
    for (const char* text :
         {"1600-12-31 23:59:59", "1600-12-31 23:59:59Z", "30828-01-01 00:00:00",
          "99999-01-01 00:00:00Z", "0000-01-01 00:00:00Z", "0000-02-30 00:00:00"}) {
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

Options Parsed(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "stampwell-cli");
    arguments.push_back(Folder());
    Options options;
    std::string message;
    EXPECT_EQ(ParseCommandLine(arguments, options, message), ParseResult::Run) << message;
    return options;
}

TEST(Options, OperationsAreRead) {
    Options options = Parsed({"--copy", "created=modified", "-v"});
    EXPECT_EQ(options.job.times.type, engine::TimeOperation::Type::Copy);
    EXPECT_EQ(std::pair(options.job.times.target, options.job.times.source),
              std::pair(TimeKind::Created, TimeKind::Modified));
    EXPECT_FALSE(options.job.times.exchange || options.job.recursive);
    EXPECT_TRUE(options.verbose && options.job.isFolder && options.job.filter == "*.*");
    EXPECT_EQ(options.job.mode, engine::Mode::FilesAndFolders);
    options = Parsed({"--swap", "accessed,modified", "-r", "--touch", "files", "--set-attr",
                      "hidden,readonly,archive,system"});
    EXPECT_TRUE(options.job.times.exchange && options.job.recursive);
    EXPECT_EQ(options.job.times.target, TimeKind::Accessed);
    EXPECT_EQ(options.job.mode, engine::Mode::FilesOnly);
    EXPECT_EQ(options.job.attributes.action, engine::AttributeAction::Set);
    EXPECT_EQ(options.job.attributes.Bits(), engine::kAttrHidden | engine::kAttrReadOnly |
                                                 engine::kAttrArchive | engine::kAttrSystem);
    options = Parsed({"--set", "accessed=2001-02-03 04:05:06Z", "--clear-attr", "system"});
    EXPECT_EQ(options.job.times.type, engine::TimeOperation::Type::Set);
    EXPECT_EQ(options.job.times.newTime, (platform::FileTime{981'173'106, 0}));
    EXPECT_EQ(options.job.attributes.action, engine::AttributeAction::Clear);
    EXPECT_EQ(options.job.attributes.Bits(), engine::kAttrSystem);
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
             {{"--swap", "created=modified", d}, "--swap"},
             {{"--set", "modified", d}, "KIND=DATETIME"},
             {{"--set", "modified=yesterday", d}, "yesterday"},
             {{"--set", "modified=1600-12-31 23:59:59", d}, "1601-01-01"},
             {{"--set-attr", "archive,shiny", d}, "shiny"},
             {{"--touch", "everything", d}, "--touch"},
             {{"--copy", "created=modified", "--swap", "created,modified", d}, "--"},
             {{"--set-attr", "hidden", "--clear-attr", "hidden", d}, "attr"},
             {{"--show", "--set-attr", "hidden", d}, "--show"},
             {{"--undo", "last", "--journal"}, "--journal"},
             {{}, "PATH"},
             {{gone}, gone},
             {{"--version"}, "stampwell-cli 3.01.00\n"}}) {
        Options options;
        std::string message;
        std::vector<std::string> line = arguments;
        line.insert(line.begin(), "stampwell-cli");
        EXPECT_EQ(ParseCommandLine(line, options, message),
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
        std::pair{"AZaz09/b-1.2_x@y:z,w+v%u]{}", "AZaz09/b-1.2_x@y:z,w+v%u]{}"},
        std::pair{"a#b~c", "a#b~c"},
        std::pair{"caf\xc3\xa9 \xe2\x82\xac\xf0\x9f\x98\x80",
                  "'caf\xc3\xa9 \xe2\x82\xac\xf0\x9f\x98\x80'"},
        std::pair{"\xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9"}, std::pair{"", "''"},
        std::pair{"#a", "'#a'"}, std::pair{"~a", "'~a'"}, std::pair{"a b", "'a b'"},
        std::pair{"a*b?$(c)", "'a*b?$(c)'"}, std::pair{"a'b", "'a'\\''b'"},
        std::pair{"a\nb", "'a'$'\\n''b'"}, std::pair{"\nb", "$'\\n''b'"},
        std::pair{"a\tb\x1b", "'a'$'\\t''b'$'\\033'"}, std::pair{"a\x7f\r\a", "'a'$'\\177\\r\\a'"},
        std::pair{"a\xc2\x85"
                  "b",
                  "'a'$'\\302\\205''b'"},
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
    EXPECT_EQ(
        line(kM, 0, kArchive, {{"d/f", FailedStep::WriteAttributes, no, kArchive | kHidden, 0}}),
        "d/f: modified time set; archive: not set: Operation not supported");
    EXPECT_EQ(line(kC | kM, 0, kHidden, {{"d/f", FailedStep::WriteTimes, no, 0, kC | kM}}),
              "d/f: hidden set; created and modified times: not set: Operation not supported");
    EXPECT_EQ(line(kM | kA, 0, 0, {{"d/f", FailedStep::TimesNotKept, {}, 0, kA}}),
              "d/f: accessed time: not set: the file system did not keep the value; the old times "
              "were put back");
    EXPECT_EQ(line(kM, 0, 0, {{"d/f", FailedStep::ReadTimes, no, 0, kM}}),
              "d/f: modified time: written, but not read back: Operation not supported");
    EXPECT_EQ(line(0, 0, 0, {{"d/f", FailedStep::ReadTimes, no, 0, 0}}),
              "d/f: times: not read: Operation not supported");
    EXPECT_EQ(line(0, 0, 0, {{"d/f", FailedStep::TimeUnknown, {}, 0, kC}}),
              "d/f: times: not changed: the file system keeps no created time");
    EXPECT_EQ(line(0, 0, 0, {{"d/f", FailedStep::ReadAttributes, no, kArchive, 0}}),
              "d/f: attributes: not read: Operation not supported");
    EXPECT_EQ(line(0, 0, kHidden, {{"d/f", FailedStep::ReadAttributes, no, kHidden, 0}}),
              "d/f: hidden: written, but not read back: Operation not supported");
    EXPECT_EQ(
        line(0, kHidden | kSystem, 0, {{"d/f", FailedStep::AttributesNotKept, {}, kHidden, 0}}),
        "d/f: system cleared; hidden: not cleared: the file system did not keep the change");
    EXPECT_EQ(DescribeFailure({"d/s t", FailedStep::ListFolder, no, 0, 0}),
              "'d/s t': folder not searched: Operation not supported");
}

TEST(Report, SummaryCountsFilesAndFoldersAndTheExitCodeTheOutcome) {
    engine::Outcome outcome;
    Treated treated;
    for (const auto type :
         {engine::ItemType::File, engine::ItemType::Folder, engine::ItemType::File})
        treated.Count({"x", type, {}, {}, {}, {}});
    EXPECT_EQ(SummaryLine(outcome, treated) + std::to_string(ExitCode(outcome)),
              "files: 2, folders: 1, failed: 00");
    outcome.failed = 2;
    EXPECT_EQ(SummaryLine(outcome, treated) + std::to_string(ExitCode(outcome)),
              "files: 2, folders: 1, failed: 21");
    outcome.ending = engine::Ending::Cancelled;
    EXPECT_EQ(ExitCode(outcome), 130);
}

} // namespace
} // namespace stampwell::cli

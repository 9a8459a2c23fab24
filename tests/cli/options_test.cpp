#include "cli/datetime.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/shellquote.h"
#include "engine/times.h"
#include "platform/files.h"
#include "platform/localtime.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace stampwell::cli {
namespace {

using engine::TimeKind;
using engine::TimeOperation;

// Parses with a real folder as PATH (the temporary directory).
ParseResult Parse(std::vector<std::string> arguments, Options& options, std::string& message) {
    arguments.insert(arguments.begin(), "stampwell-cli");
    arguments.push_back(std::filesystem::temp_directory_path().string());
    return ParseCommandLine(arguments, options, message);
}

ParseResult Parse(std::vector<std::string> arguments, std::string& message) {
    Options options;
    return Parse(std::move(arguments), options, message);
}

// Typed fields count, whatever the offset: the storable edges hold in local
// time too.
TEST(DateTime, TextGivesTheExactInstantOrIsRefused) {
    const std::vector<std::pair<const char*, std::optional<platform::FileTime>>> cases = {
        {"2001-02-03 04:05:06Z", platform::FileTime{981'173'106, 0}},
        {"2001-02-03 06:05:06+02:00", platform::FileTime{981'173'106, 0}},
        {"2001-02-03 00:35:06-03:30", platform::FileTime{981'173'106, 0}},
        {"1969-12-31 23:59:59.50Z", platform::FileTime{-1, 500'000'000}},
        {"2001-02-03 04:05:06+23:59", platform::FileTime{981'086'766, 0}},
        {"2001-02-03 04:05:06.123456789Z", platform::FileTime{981'173'106, 123'456'789}},
        {"2999-09-29 19:59:09.9Z", platform::FileTime{32'495'630'349, 900'000'000}},
        {"1601-01-01 00:00:00Z", platform::FileTime{-11'644'473'600, 0}},
        {"1601-01-01 00:00:00-01:00", platform::FileTime{-11'644'470'000, 0}},
        {"30827-12-31 23:59:59.5Z", platform::FileTime{910'670'515'199, 500'000'000}},
        {"", std::nullopt},
        {"2001-02-03", std::nullopt},
        {"2001-02-03T04:05:06Z", std::nullopt},
        {"2001-2-3 04:05:06Z", std::nullopt},
        {"2001-02-30 04:05:06Z", std::nullopt},
        {"2001-02-03 24:00:00Z", std::nullopt},
        {"2001-02-03 04:60:00Z", std::nullopt},
        {"2001-02-03 04:05:60Z", std::nullopt},
        {"2001-02-03 04:05:06.Z", std::nullopt},
        {"2001-02-03 04:05:06.1234567890Z", std::nullopt},
        {"2001-02-03 04:05:06+2:00", std::nullopt},
        {"2001-02-03 04:05:06+24:00", std::nullopt},
        {"2001-02-03 04:05:06+01:60", std::nullopt},
        {"2001-02-03 04:05:06 Z", std::nullopt},
        {"2001-02-03 04:05:06Zx", std::nullopt},
        {"2001-02-03 04:05:0aZ", std::nullopt},
        {"2001-02-03 04:05:06+0a:00", std::nullopt},
        {"200a-02-03 04:05:06Z", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        std::string why;
        EXPECT_EQ(ParseDateTime(text, why), expected) << text;
    }
    // Outside what every file system can store, typed in local time or not.
    for (const char* text :
         {"1600-12-31 23:59:59", "1600-12-31 23:59:59Z", "30828-01-01 00:00:00",
          "99999-01-01 00:00:00Z", "0000-01-01 00:00:00Z", "0000-02-30 00:00:00"}) {
        std::string why;
        EXPECT_FALSE(ParseDateTime(text, why)) << text;
        EXPECT_NE(why.find("1601-01-01 00:00:00 to 30827-12-31 23:59:59"), std::string::npos)
            << text << ": " << why;
    }
}

TEST(DateTime, LocalTimeIsReadWithTheZoneRules) {
    std::string why;
    const auto local = ParseDateTime("2001-02-03 04:05:06.25", why);
    ASSERT_TRUE(local);
    EXPECT_EQ(local->nanoseconds, 250'000'000u);
    EXPECT_EQ(platform::ToLocal(*local),
              (platform::LocalDateTime{2001, 2, 3, 4, 5, 6, 250'000'000}));
}

TEST(Options, TimeOperationsAreRead) {
    Options options;
    std::string message;
    ASSERT_EQ(Parse({"--copy", "created=modified"}, options, message), ParseResult::Run) << message;
    EXPECT_EQ(options.job.times.type, TimeOperation::Type::Copy);
    EXPECT_EQ(options.job.times.target, TimeKind::Created);
    EXPECT_EQ(options.job.times.source, TimeKind::Modified);
    EXPECT_FALSE(options.job.times.exchange);

    options = {};
    ASSERT_EQ(Parse({"--swap", "accessed,modified", "-r", "--touch", "files"}, options, message),
              ParseResult::Run);
    EXPECT_TRUE(options.job.times.exchange);
    EXPECT_EQ(options.job.times.target, TimeKind::Accessed);
    EXPECT_TRUE(options.job.recursive);
    EXPECT_EQ(options.job.mode, engine::Mode::FilesOnly);
    EXPECT_TRUE(options.job.isFolder);

    options = {};
    ASSERT_EQ(Parse({"--set", "accessed=2001-02-03 04:05:06Z", "--set-attr", "hidden,readonly"},
                    options, message),
              ParseResult::Run);
    EXPECT_EQ(options.job.times.type, TimeOperation::Type::Set);
    EXPECT_EQ(options.job.times.newTime, (platform::FileTime{981'173'106, 0}));
    EXPECT_EQ(options.job.attributes.action, engine::AttributeAction::Set);
    EXPECT_EQ(options.job.attributes.Bits(), engine::kAttrHidden | engine::kAttrReadOnly);
    EXPECT_EQ(options.job.filter, "*.*");
    EXPECT_EQ(options.job.mode, engine::Mode::FilesAndFolders);
}

TEST(Options, BadUsageNamesTheBadArgument) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--filter", "*"}, "--filter"},
        {{"--copy", "created"}, "--copy"},
        {{"--copy", "born=modified"}, "born"},
        {{"--swap", "created=modified"}, "--swap"},
        {{"--set", "modified=yesterday"}, "yesterday"},
        {{"--set", "modified=1600-12-31 23:59:59"}, "1601-01-01 00:00:00 to"},
        {{"--set-attr", "archive,shiny"}, "shiny"},
        {{"--clear-attr", ""}, "--clear-attr"},
        {{"--touch", "everything"}, "--touch"},
        {{"--copy", "created=modified", "--swap", "created,modified"}, "--"},
        {{"--set-attr", "hidden", "--clear-attr", "hidden"}, "attr"},
        {{"--frobnicate"}, "--frobnicate"},
    };
    for (const auto& [arguments, named] : cases) {
        std::string message;
        EXPECT_EQ(Parse(arguments, message), ParseResult::Usage) << arguments.front();
        EXPECT_NE(message.find(named), std::string::npos) << message;
    }
}

TEST(Options, MissingPathIsBadUsage) {
    Options options;
    std::string message;
    EXPECT_EQ(ParseCommandLine({"stampwell-cli"}, options, message), ParseResult::Usage);
    EXPECT_NE(message.find("PATH"), std::string::npos) << message;
    const std::string gone =
        (std::filesystem::temp_directory_path() / "no-such-item-ever").string();
    EXPECT_EQ(ParseCommandLine({"stampwell-cli", gone}, options, message), ParseResult::Usage);
    EXPECT_NE(message.find(gone), std::string::npos) << message;
}

TEST(Options, VersionIsPrintedAndNothingRuns) {
    Options options;
    std::string message;
    EXPECT_EQ(ParseCommandLine({"stampwell-cli", "--version"}, options, message),
              ParseResult::Help);
    EXPECT_EQ(message, "stampwell-cli 3.01.00\n");
}

TEST(ShellQuoted, OnlyNamesThatNeedItAreQuotedAndEscaped) {
    const std::string separator(1, platform::kPathSeparator);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"AZaz09" + separator + "b-1.2_x@y:z,w+v%u]{}",
         "AZaz09" + separator + "b-1.2_x@y:z,w+v%u]{}"},
        {"a#b~c", "a#b~c"},
        {"caf\xc3\xa9 \xe2\x82\xac\xf0\x9f\x98\x80", "'caf\xc3\xa9 \xe2\x82\xac\xf0\x9f\x98\x80'"},
        {"\xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9"},
        {"", "''"},
        {"#a", "'#a'"},
        {"~a", "'~a'"},
        {"a b", "'a b'"},
        {"a*b?$(c)", "'a*b?$(c)'"},
        {"a'b", "'a'\\''b'"},
        {"a\nb", "'a'$'\\n''b'"},
        {"\nb", "$'\\n''b'"},
        {"a\tb\x1b", "'a'$'\\t''b'$'\\033'"},
        {"a\x7f\r\a", "'a'$'\\177\\r\\a'"},
        {"a\xff", "'a'$'\\377'"},
        {"a\xc2\x85"
         "b",
         "'a'$'\\302\\205''b'"},
        {"\xc0\xaf\xed\xa0\x80", "$'\\300\\257\\355\\240\\200'"},
        {"\xe2\x82x", "$'\\342\\202''x'"},
        {"\xf4\x90\x80\x80", "$'\\364\\220\\200\\200'"},
        {"\xf5\x80\x80\x80", "$'\\365\\200\\200\\200'"},
        // The first and last of each length, and those next to the forms left out.
        {"\xc2\xa0\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xef\xbf\xbd\xf0\x90\x80\x80\xf4\x8f\xbf\xbf",
         "\xc2\xa0\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xef\xbf\xbd\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"},
    };
    for (const auto& [name, printed] : cases)
        EXPECT_EQ(ShellQuoted(name), printed) << name;
}

TEST(Report, ItemLinesSayWhatWasDoneAndWhatFailedWhy) {
    using engine::FailedStep;
    using engine::Failure;
    constexpr auto kCreated = engine::KindBit(TimeKind::Created);
    constexpr auto kModified = engine::KindBit(TimeKind::Modified);
    constexpr auto kAccessed = engine::KindBit(TimeKind::Accessed);
    const platform::SysError refused{95, "Operation not supported"};
    const auto item = [](engine::TimeKindSet kinds, std::uint32_t before, std::uint32_t after,
                         std::vector<Failure> failures) {
        engine::ItemReport report{"d/f", engine::ItemType::File, {}, {before, after}, {}, {}};
        for (const auto kind : {TimeKind::Created, TimeKind::Modified, TimeKind::Accessed})
            if ((kinds & engine::KindBit(kind)) != 0)
                engine::SetTimeOf(report.times.update, kind, platform::FileTime{1, 0});
        report.failures = std::move(failures);
        return report;
    };
    const std::vector<std::pair<engine::ItemReport, std::string>> cases = {
        {item(0, 0, 0, {}), "d/f: unchanged"},
        {item(kModified, 0, 0, {}), "d/f: modified time set"},
        {item(kCreated | kModified | kAccessed, engine::kAttrReadOnly | engine::kAttrSystem, 0, {}),
         "d/f: created, modified and accessed times set; readonly and system cleared"},
        {item(kModified, 0, engine::kAttrArchive,
              {{"d/f", FailedStep::WriteAttributes, refused,
                engine::kAttrArchive | engine::kAttrHidden, 0}}),
         "d/f: modified time set; archive: not set: Operation not supported"},
        {item(kCreated | kModified, 0, engine::kAttrHidden,
              {{"d/f", FailedStep::WriteTimes, refused, 0, kCreated | kModified}}),
         "d/f: hidden set; created and modified times: not set: Operation not supported"},
        {item(kModified | kAccessed, 0, 0, {{"d/f", FailedStep::TimesNotKept, {}, 0, kAccessed}}),
         "d/f: accessed time: not set: the file system did not keep the value; the old times "
         "were put back"},
        {item(kModified, 0, 0, {{"d/f", FailedStep::ReadTimes, refused, 0, kModified}}),
         "d/f: modified time: written, but not read back: Operation not supported"},
        {item(0, 0, 0, {{"d/f", FailedStep::ReadTimes, refused, 0, 0}}),
         "d/f: times: not read: Operation not supported"},
        {item(0, 0, 0, {{"d/f", FailedStep::TimeUnknown, {}, 0, kCreated}}),
         "d/f: times: not changed: the file system keeps no created time"},
        {item(0, 0, 0, {{"d/f", FailedStep::ReadAttributes, refused, engine::kAttrArchive, 0}}),
         "d/f: attributes: not read: Operation not supported"},
        {item(0, 0, engine::kAttrHidden,
              {{"d/f", FailedStep::ReadAttributes, refused, engine::kAttrHidden, 0}}),
         "d/f: hidden: written, but not read back: Operation not supported"},
        {item(0, engine::kAttrHidden | engine::kAttrSystem, 0,
              {{"d/f", FailedStep::AttributesNotKept, {}, engine::kAttrHidden, 0}}),
         "d/f: system cleared; hidden: not cleared: the file system did not keep the change"},
    };
    for (const auto& [report, line] : cases)
        EXPECT_EQ(DescribeItem(report), line);

    engine::ItemReport named = item(0, 0, 0, {});
    named.path = "d/new\nline";
    EXPECT_EQ(DescribeItem(named), "'d/new'$'\\n''line': unchanged");
    EXPECT_EQ(DescribeFailure({"d/s t", FailedStep::ListFolder, refused, 0, 0}),
              "'d/s t': folder not searched: Operation not supported");
}

// A cancel leaves found files untreated; the summary counts those treated.
TEST(Report, SummaryAfterACancelCountsTheItemsTreated) {
    stampwell::testing::TempFolder tree;
    for (int i = 0; i < 100; ++i)
        tree.File("f" + std::to_string(i) + ".txt");
    engine::Job job;
    job.path = tree.Root();
    job.recursive = true;
    job.mode = engine::Mode::FilesOnly;
    Treated treated;
    std::uint64_t told = 0;
    engine::RunCallbacks callbacks;
    callbacks.itemDone = [&](const engine::ItemReport& report) {
        treated.Count(report);
        ++told;
        engine::RequestCancel();
    };
    engine::ClearCancel();
    const engine::Outcome outcome = engine::RunBatch(job, callbacks);
    engine::ClearCancel();
    ASSERT_EQ(outcome.ending, engine::Ending::Cancelled);
    ASSERT_LT(told, 100u);
    EXPECT_EQ(SummaryLine(outcome, treated),
              "files: " + std::to_string(told) + ", folders: 0, failed: 0");
    EXPECT_EQ(ExitCode(outcome), 130);
}

TEST(Report, SummaryAndExitCodes) {
    engine::Outcome outcome;
    outcome.failed = 0;
    Treated treated;
    for (const auto type :
         {engine::ItemType::File, engine::ItemType::Folder, engine::ItemType::File})
        treated.Count({"x", type, {}, {}, {}, {}});
    EXPECT_EQ(SummaryLine(outcome, treated), "files: 2, folders: 1, failed: 0");
    EXPECT_EQ(ExitCode(outcome), 0);
    outcome.failed = 2;
    EXPECT_EQ(ExitCode(outcome), 1);
}

} // namespace
} // namespace stampwell::cli

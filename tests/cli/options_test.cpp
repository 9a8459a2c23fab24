#include "cli/datetime.h"
#include "cli/options.h"
#include "cli/report.h"
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

TEST(DateTime, ExplicitOffsetsGiveTheExactInstant) {
    std::string why;
    EXPECT_EQ(ParseDateTime("2001-02-03 04:05:06Z", why), (platform::FileTime{981'173'106, 0}));
    EXPECT_EQ(ParseDateTime("2001-02-03 06:05:06+02:00", why),
              (platform::FileTime{981'173'106, 0}));
    EXPECT_EQ(ParseDateTime("2001-02-03 00:35:06-03:30", why),
              (platform::FileTime{981'173'106, 0}));
    EXPECT_EQ(ParseDateTime("1969-12-31 23:59:59.5Z", why), (platform::FileTime{-1, 500'000'000}));
    EXPECT_EQ(ParseDateTime("2001-02-03 04:05:06.123456789Z", why),
              (platform::FileTime{981'173'106, 123'456'789}));
}

TEST(DateTime, MalformedOrImpossibleTextIsRefused) {
    std::string why;
    for (const char* text :
         {"", "2001-02-03", "2001-02-03T04:05:06Z", "2001-2-3 04:05:06Z", "2001-02-30 04:05:06Z",
          "2001-02-03 24:00:00Z", "2001-02-03 04:05:06.Z", "2001-02-03 04:05:06.1234567890Z",
          "2001-02-03 04:05:06+2:00", "2001-02-03 04:05:06 Z", "2001-02-03 04:05:06Zx"}) {
        EXPECT_FALSE(ParseDateTime(text, why)) << text;
        EXPECT_FALSE(why.empty()) << text;
    }
}

// Typed fields count, whatever the offset: the edges hold in local time too.
TEST(DateTime, OnlyDatesEveryFileSystemCanStoreAreTaken) {
    const std::vector<std::pair<const char*, std::optional<platform::FileTime>>> cases = {
        {"1600-12-31 23:59:59", std::nullopt},
        {"1600-12-31 23:59:59Z", std::nullopt},
        {"1601-01-01 00:00:00Z", platform::FileTime{-11'644'473'600, 0}},
        {"1601-01-01 00:00:00-01:00", platform::FileTime{-11'644'470'000, 0}},
        {"30827-12-31 23:59:59.5Z", platform::FileTime{910'670'515'199, 500'000'000}},
        {"30828-01-01 00:00:00", std::nullopt},
        {"99999-01-01 00:00:00Z", std::nullopt},
        {"0000-01-01 00:00:00Z", std::nullopt},
        {"0000-02-30 00:00:00", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        std::string why;
        EXPECT_EQ(ParseDateTime(text, why), expected) << text;
        if (!expected) {
            EXPECT_NE(why.find("1601-01-01 00:00:00 to 30827-12-31 23:59:59"), std::string::npos)
                << text << ": " << why;
        }
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

TEST(Report, SummaryAndExitCodes) {
    engine::Outcome outcome;
    outcome.files = 12;
    outcome.folders = 3;
    outcome.failed = 0;
    EXPECT_EQ(SummaryLine(outcome), "files: 12, folders: 3, failed: 0");
    EXPECT_EQ(ExitCode(outcome), 0);
    outcome.failed = 2;
    EXPECT_EQ(ExitCode(outcome), 1);
    outcome.ending = engine::Ending::Cancelled;
    EXPECT_EQ(ExitCode(outcome), 130);
}

} // namespace
} // namespace stampwell::cli

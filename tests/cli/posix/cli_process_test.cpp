#include "cli/shellquote.h"
#include "testing/environment.h"
#include "testing/tempfolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

using stampwell::cli::ShellQuoted;
using stampwell::testing::ReadBytes;

constexpr std::int64_t kTime = 981'173'106; // 2001-02-03 04:05:06Z

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// An item's status (a link's own with follow false).
struct stat Status(const std::string& path, bool follow = true) {
    struct stat info {};
    EXPECT_EQ(follow ? stat(path.c_str(), &info) : lstat(path.c_str(), &info), 0) << path;
    return info;
}

// Runs stampwell-cli through the shell in `environment` ("NAME=value ...");
// its journals, also those of the programs a test starts itself, go to the
// tree's own state folder.
class CliProcess : public ::testing::Test {
protected:
    Result Cli(const std::vector<std::string>& arguments, const std::string& environment = "") {
        std::string command = environment + " " + STAMPWELL_CLI;
        for (const std::string& argument : arguments)
            command += " " + ShellQuoted(argument);
        command += " >" + ShellQuoted(tree.Path("out")) + " 2>" + ShellQuoted(tree.Path("err"));
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(tree.Path("out")),
                ReadBytes(tree.Path("err"))};
    }

    stampwell::testing::TempFolder tree;
    const stampwell::testing::ScopedEnv state{"XDG_STATE_HOME", tree.Path("state")};
    const std::string file = tree.File("data/a.txt");
    const std::string other = tree.File("data/sub/b.txt");
    const std::string dat = tree.File("data/sub/c.dat");
};

// With -v every item is a line on stdout, files first and the chosen folder
// last; the summary ends the run.
TEST_F(CliProcess, RunEndsWithTheSummaryAndStatusZeroAndEveryItemIsOneLine) {
    tree.File("odd/a\nb.txt");
    const std::string plain = tree.File("odd/c.txt");
    const Result result = Cli({"-v", "--set", "accessed=2001-02-03 04:05:06Z", tree.Path("odd")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "'" + tree.Path("odd/a") + "'$'\\n''b.txt': accessed time set\n" + plain +
                              ": accessed time set\n" + tree.Path("odd") +
                              ": accessed time set\nfiles: 2, folders: 1, failed: 0\n");
}

// One line for the item, with what failed and why (a link keeps no
// attributes of its own), on stderr; -h treats the link itself, without -h
// the link is followed.
TEST_F(CliProcess, FailedItemsGiveStatusOneAndLinksAreFollowedUnlessH) {
    const std::string link = tree.Path("data/link");
    ASSERT_EQ(symlink("a.txt", link.c_str()), 0);
    const auto before = Status(file);
    Result result =
        Cli({"-h", "--set-attr", "hidden", "--set", "modified=2001-02-03 04:05:06Z", link});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "files: 1, folders: 0, failed: 1\n");
    EXPECT_EQ(result.err.find(link + ": modified time set; hidden: not set: "), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(Status(file).st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(Status(link, false).st_mtim.tv_sec, kTime);
    ASSERT_EQ(Cli({"--set", "accessed=2001-02-03 04:05:06Z", link}).status, 0);
    EXPECT_EQ(Status(file).st_atim.tv_sec, kTime);
}

// The options' own test has the cases; whatever the mistake, nothing is run.
TEST_F(CliProcess, BadUsageGivesStatusTwoAndTouchesNothing) {
    const auto before = Status(file);
    const Result result = Cli({"--filter", "*", "--set", "modified=2001-02-03 04:05:06Z", file});
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_EQ(result.err.find("stampwell-cli: "), 0u) << result.err;
    EXPECT_EQ(Status(file).st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

// On a terminal the progress line shows the item in hand, its path escaped
// as in every other line and cut to its end where a character begins.
TEST_F(CliProcess, ProgressLineShowsTheEscapedEndOfThePath) {
    std::string name;
    for (int i = 0; i < 40; ++i)
        name += "\xc3\xa9";
    const std::string path = tree.File(name + "\n.txt");
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(STAMPWELL_CLI, STAMPWELL_CLI, "--set", "modified=2001-02-03 04:05:06Z", path.c_str(),
              static_cast<char*>(nullptr));
        _exit(99);
    }
    std::string shown;
    char buffer[4096];
    for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;)
        shown.append(buffer, static_cast<std::size_t>(got));
    close(terminal);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(shown, "\r\033[K1 ...'" + name.substr(name.size() - 54) + "'$'\\n''.txt'\r\033[K" +
                         "files: 1, folders: 0, failed: 0\r\n");
}

// Ctrl-C stops the run at its next check; it prints its summary of the items
// treated (one line each, not those found) and ends with 130.
TEST_F(CliProcess, InterruptStopsTheRunCleanly) {
    constexpr int kFiles = 5000;
    for (int i = 0; i < kFiles; ++i)
        tree.File("many/f" + std::to_string(i) + ".txt");
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::string path = tree.Path("many");
    const pid_t child = fork();
    if (child == 0) {
        dup2(ends[1], STDOUT_FILENO);
        execl(STAMPWELL_CLI, STAMPWELL_CLI, "-v", "-r", "--touch", "files", "--set",
              "modified=2001-02-03 04:05:06Z", path.c_str(), static_cast<char*>(nullptr));
        _exit(99);
    }
    close(ends[1]);
    // The first line says the run is under way; the rest waits in the pipe,
    // which holds far fewer than 5000 lines.
    FILE* out = fdopen(ends[0], "r");
    char line[4096];
    ASSERT_NE(std::fgets(line, sizeof line, out), nullptr);
    kill(child, SIGINT);
    std::string last;
    int lines = 1;
    for (; std::fgets(line, sizeof line, out) != nullptr; ++lines)
        last = line;
    std::fclose(out);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
    EXPECT_EQ(last, "files: " + std::to_string(lines - 1) + ", folders: 0, failed: 0\n");
    EXPECT_LT(lines, kFiles + 1) << "items after the cancel were left alone";
}

// Local time by the zone's rules at the typed date; --show prints each time to the nanosecond in
// local time with its own offset, and the four attributes.
TEST_F(CliProcess, LocalTimeIsTheExactInstantAndShowPrintsItBack) {
    const std::string berlin = "TZ=Europe/Berlin";
    for (const char* set :
         {"created=2024-07-15 12:00:00.1234567", "modified=2024-01-15 12:00:00.000000009",
          "accessed=1969-12-31 23:59:59.5Z"})
        ASSERT_EQ(Cli({"--set", set, "--set-attr", "hidden,readonly", file}, berlin).status, 0)
            << set;
    EXPECT_EQ(Status(file).st_mtim.tv_sec, 1'705'316'400);
    const Result shown = Cli({"--show", file}, berlin);
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, "created: 2024-07-15 12:00:00.123456700 +02:00\n"
                         "modified: 2024-01-15 12:00:00.000000009 +01:00\n"
                         "accessed: 1970-01-01 00:59:59.500000000 +01:00\n"
                         "archive: clear\nreadonly: set\nsystem: clear\nhidden: set\n");
}

// Every run is journalled and can be undone; the undo is a run of its own. A
// run whose journal cannot be written does not start, unless told to go
// without one; a dry run needs none, says what it would do and writes nothing.
TEST_F(CliProcess, JournalUndoAndDryRun) {
    const auto before = Status(file);
    ASSERT_EQ(Cli({"-r", "--touch", "files", "--set", "modified=2001-02-03 04:05:06Z", "--set-attr",
                   "hidden", tree.Path("data")})
                  .status,
              0);
    const Result undo = Cli({"--undo", "last"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_TRUE(undo.out.ends_with("restored: 3, skipped: 0, failed: 0\n")) << undo.out;
    EXPECT_EQ(Status(file).st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    const std::string blocked = "XDG_STATE_HOME=" + file;
    Result result = Cli({"--set", "modified=2001-02-03 04:05:06Z", file}, blocked);
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("--no-journal"), std::string::npos) << result.err;
    result = Cli({"--dry-run", "--set", "modified=2001-02-03 04:05:06Z", file}, blocked);
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find(" -> 2001-02-03 "), std::string::npos) << result.out;
    EXPECT_EQ(Status(file).st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(Cli({"--no-journal", "--set", "modified=2001-02-03 04:05:06Z", file}, blocked).status,
              0);
    EXPECT_EQ(Status(file).st_mtim.tv_sec, kTime);
}

} // namespace

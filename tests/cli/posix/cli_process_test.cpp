#include "cli/options.h"
#include "engine/times.h"
#include "platform/item.h"
#include "platform/posix/longpath.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace stampwell::cli {
namespace {

using engine::ItemTimes;
using engine::ItemType;
using stampwell::testing::TempFolder;
using test::TimesOf;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs stampwell-cli through the shell, with `environment` ("NAME=value ...");
// its journals go to the tree's own state folder.
Result RunCli(const std::vector<std::string>& arguments, const TempFolder& tree,
              const std::string& environment = "") {
    std::string command =
        "XDG_STATE_HOME=" + Quoted(tree.Path("state")) + " " + environment + " " + STAMPWELL_CLI;
    for (const std::string& argument : arguments)
        command += " " + Quoted(argument);
    const std::string out = tree.Path("stdout");
    const std::string err = tree.Path("stderr");
    command += " >" + Quoted(out) + " 2>" + Quoted(err);
    const int status = std::system(command.c_str());
    Result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return result;
}

std::string LastLine(const std::string& text) {
    const std::size_t end = text.find_last_not_of('\n');
    if (end == std::string::npos)
        return {};
    const std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

class CliProcess : public ::testing::Test {
protected:
    void SetUp() override {
        // Journals of runs started without RunCli go to the tree too.
        setenv("XDG_STATE_HOME", tree_.Path("state").c_str(), 1);
        file_ = tree_.File("data/a.txt");
        tree_.File("data/sub/b.txt");
        tree_.File("data/sub/c.dat");
    }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }
    TempFolder tree_;
    std::string file_;
};

TEST_F(CliProcess, RunEndsWithTheSummaryAndStatusZero) {
    const Result result = RunCli(
        {"-r", "--filter", "*.txt", "--set", "modified=2001-02-03 04:05:06Z", tree_.Path("data")},
        tree_);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(LastLine(result.out), "files: 2, folders: 2, failed: 0");
    EXPECT_EQ(TimesOf(file_, ItemType::File).modified, (engine::FileTime{981'173'106, 0}));
}

TEST_F(CliProcess, VerboseListsEveryItemInRunOrder) {
    const Result result = RunCli(
        {"-v", "--touch", "files", "--set", "accessed=2001-02-03 04:05:06Z", tree_.Path("data")},
        tree_);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, file_ + ": accessed time set\nfiles: 1, folders: 0, failed: 0\n");
}

TEST_F(CliProcess, EveryItemIsOneLineWhateverItsName) {
    tree_.File("odd/a\nb.txt");
    const std::string plain = tree_.File("odd/c.txt");
    const Result result = RunCli(
        {"-v", "--touch", "files", "--set", "accessed=2001-02-03 04:05:06Z", tree_.Path("odd")},
        tree_);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "'" + tree_.Path("odd/a") + "'$'\\n''b.txt': accessed time set\n" +
                              plain + ": accessed time set\nfiles: 2, folders: 0, failed: 0\n");
}

TEST_F(CliProcess, FailedItemsGiveStatusOneAndAreNamed) {
    // A link keeps no attributes of its own.
    const std::string link = tree_.Path("data/link");
    ASSERT_EQ(symlink("a.txt", link.c_str()), 0);
    const Result result = RunCli({"-h", "--set-attr", "hidden", link}, tree_);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(LastLine(result.out), "files: 1, folders: 0, failed: 1");
    // One line for the item, with what failed and why.
    EXPECT_EQ(result.err.find(link + ": hidden: not set: "), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
}

TEST_F(CliProcess, BadUsageGivesStatusTwoAndTouchesNothing) {
    const auto before = TimesOf(file_, ItemType::File);
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--filter", "*", "--set", "modified=2001-02-03 04:05:06Z", file_},
             {"--set", "modified=2001-02-30 04:05:06", file_},
             {"--swap", "created", file_},
             {"--set-attr", "shiny", file_},
             {tree_.Path("nothing-here")},
             {}}) {
        const Result result = RunCli(arguments, tree_);
        EXPECT_EQ(result.status, 2) << result.err;
        EXPECT_NE(result.err.find("stampwell-cli: "), std::string::npos);
        EXPECT_TRUE(result.out.empty());
    }
    EXPECT_EQ(TimesOf(file_, ItemType::File).modified, before.modified);
}

TEST_F(CliProcess, PathsLongerThanPathMaxAreRunOver) {
    const testing::LongPath deep(tree_.Root());
    ASSERT_GT(deep.Folder().size(), std::size_t{PATH_MAX});
    const std::string file = deep.MakeFile("a.txt");
    Result result = RunCli({"--set", "modified=2001-02-03 04:05:06Z", file}, tree_);
    EXPECT_EQ(result.status, 0) << result.err.substr(0, 200);
    EXPECT_EQ(LastLine(result.out), "files: 1, folders: 0, failed: 0");
    EXPECT_EQ(TimesOf(file, ItemType::File).modified, (engine::FileTime{981'173'106, 0}));

    result = RunCli({"--set", "accessed=2001-02-03 04:05:06Z", deep.Folder()}, tree_);
    EXPECT_EQ(result.status, 0) << result.err.substr(0, 200);
    EXPECT_EQ(LastLine(result.out), "files: 1, folders: 1, failed: 0");
    EXPECT_EQ(TimesOf(deep.Folder(), ItemType::Folder).accessed,
              (engine::FileTime{981'173'106, 0}));

    // A link named last is followed, as for a short path (here to a folder
    // of the test's own with a short path).
    platform::OpenFolder deepest;
    ASSERT_FALSE(platform::OpenFolder::Open(deep.Folder(), deepest).Failed());
    ASSERT_EQ(symlinkat(tree_.Path("data").c_str(), static_cast<int>(deepest.Native()), "data"), 0);
    Options options;
    std::string message;
    EXPECT_EQ(ParseCommandLine({"stampwell-cli", deep.Folder() + "/data"}, options, message),
              ParseResult::Run);
    EXPECT_TRUE(options.job.isFolder);
    EXPECT_EQ(ParseCommandLine({"stampwell-cli", deep.Folder() + "/gone"}, options, message),
              ParseResult::Usage);
}

// On a terminal the progress line shows the item in hand, its path escaped
// as in every other line and cut to its end where a character begins.
TEST_F(CliProcess, ProgressLineShowsTheEscapedEndOfThePath) {
    std::string name;
    for (int i = 0; i < 40; ++i)
        name += "\xc3\xa9";
    const std::string file = tree_.File(name + "\n.txt");
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(STAMPWELL_CLI, STAMPWELL_CLI, "--set", "modified=2001-02-03 04:05:06Z", file.c_str(),
              static_cast<char*>(nullptr));
        _exit(99);
    }
    std::string shown;
    char buffer[4096];
    for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;)
        shown.append(buffer, static_cast<std::size_t>(got));
    close(terminal);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(shown, "\r\033[K1 ...'" + name.substr(name.size() - 54) + "'$'\\n''.txt'\r\033[K" +
                         "files: 1, folders: 0, failed: 0\r\n");
}

// Ctrl-C sets the cancel flag; the run stops at its next check, prints its
// summary and ends with 130.
TEST_F(CliProcess, InterruptStopsTheRunCleanly) {
    constexpr int kFiles = 5000;
    for (int i = 0; i < kFiles; ++i)
        tree_.File("many/f" + std::to_string(i) + ".txt");
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        const std::string path = tree_.Path("many");
        execl(STAMPWELL_CLI, STAMPWELL_CLI, "-v", "-r", "--touch", "files", "--set",
              "modified=2001-02-03 04:05:06Z", path.c_str(), static_cast<char*>(nullptr));
        _exit(99);
    }
    close(pipeEnds[1]);
    // The first line says the run is under way; the rest waits in the pipe,
    // which holds far fewer than 5000 lines, so the run is not done yet.
    FILE* out = fdopen(pipeEnds[0], "r");
    char line[4096];
    ASSERT_NE(std::fgets(line, sizeof line, out), nullptr);
    kill(child, SIGINT);
    std::string rest;
    int lines = 1;
    while (std::fgets(line, sizeof line, out) != nullptr) {
        rest = line;
        ++lines;
    }
    std::fclose(out);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    // The summary counts the files treated, one line each, not those found.
    EXPECT_EQ(rest, "files: " + std::to_string(lines - 1) + ", folders: 0, failed: 0\n");
    EXPECT_LT(lines, kFiles + 1) << "items after the cancel were left alone";
}

// The zone's rules at the typed date, not today's offset.
TEST_F(CliProcess, LocalTimeIsStoredAsTheExactUtcInstant) {
    for (const auto& [typed, expected] :
         {std::pair{"2024-07-15 12:00:00.5", engine::FileTime{1'721'037'600, 500'000'000}},
          std::pair{"2024-01-15 12:00:00", engine::FileTime{1'705'316'400, 0}}}) {
        const Result result =
            RunCli({"--set", std::string("modified=") + typed, file_}, tree_, "TZ=Europe/Berlin");
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(TimesOf(file_, ItemType::File).modified, expected) << typed;
    }
    // The spring hour that is skipped does not exist.
    const Result skipped =
        RunCli({"--set", "modified=2024-03-31 02:30:00", file_}, tree_, "TZ=Europe/Berlin");
    EXPECT_EQ(skipped.status, 2);
    EXPECT_NE(skipped.err.find("does not exist"), std::string::npos) << skipped.err;
}

// --show prints what a run starts from: each time to the nanosecond in local
// time with its own offset (a text --set takes back), and the four attributes.
TEST(CliShow, PrintsTheExactTimesAndTheFourAttributes) {
    TempFolder tree;
    const std::string file = tree.File("a.txt");
    ASSERT_EQ(RunCli({"--set", "created=2024-07-15 12:00:00.1234567", "--set-attr",
                      "hidden,readonly", file},
                     tree, "TZ=Europe/Berlin")
                  .status,
              0);
    ASSERT_EQ(
        RunCli({"--set", "modified=2024-01-15 12:00:00.000000009", file}, tree, "TZ=Europe/Berlin")
            .status,
        0);
    ASSERT_EQ(
        RunCli({"--set", "accessed=1969-12-31 23:59:59.5Z", file}, tree, "TZ=Europe/Berlin").status,
        0);
    const Result shown = RunCli({"--show", file}, tree, "TZ=Europe/Berlin");
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, "created: 2024-07-15 12:00:00.123456700 +02:00\n"
                         "modified: 2024-01-15 12:00:00.000000009 +01:00\n"
                         "accessed: 1970-01-01 00:59:59.500000000 +01:00\n"
                         "archive: clear\n"
                         "readonly: set\n"
                         "system: clear\n"
                         "hidden: set\n");
    const Result usage = RunCli({"--show", "--set-attr", "hidden", file}, tree);
    EXPECT_EQ(usage.status, 2);
}

// Every run is journalled and can be undone from the command line; the
// journal lists it, and the undo is a run of its own.
TEST_F(CliProcess, UndoPutsBackTheLastRunAndTheJournalListsBoth) {
    const ItemTimes before = TimesOf(file_, ItemType::File);
    ASSERT_EQ(RunCli({"-r", "--set", "modified=2001-02-03 04:05:06Z", "--set-attr", "hidden",
                      tree_.Path("data")},
                     tree_)
                  .status,
              0);
    EXPECT_NE(TimesOf(file_, ItemType::File).modified, before.modified);
    const Result undo = RunCli({"--undo", "last"}, tree_);
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(LastLine(undo.out), "restored: 5, skipped: 0, failed: 0");
    EXPECT_EQ(TimesOf(file_, ItemType::File).modified, before.modified);
    const Result listed = RunCli({"--journal"}, tree_);
    EXPECT_NE(listed.out.find("undo of set modified"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("failed 0, undone)"), std::string::npos) << listed.out;
    EXPECT_EQ(RunCli({"--undo", "last", "--journal"}, tree_).status, 2) << "one or the other";
}

// A run whose journal cannot be written does not start, unless told to go
// without one; a dry run needs none and writes nothing.
TEST_F(CliProcess, WithoutAJournalNothingRunsUnlessAskedAndADryRunTouchesNothing) {
    tree_.File("not-a-folder");
    const std::string blocked = "XDG_STATE_HOME=" + Quoted(tree_.Path("not-a-folder"));
    const ItemTimes before = TimesOf(file_, ItemType::File);
    const std::vector<std::string> job = {"--set", "modified=2001-02-03 04:05:06Z", file_};
    Result result = RunCli(job, tree_, blocked);
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("--no-journal"), std::string::npos) << result.err;
    EXPECT_EQ(TimesOf(file_, ItemType::File).modified, before.modified);

    result = RunCli({"--dry-run", "--set", "modified=2001-02-03 04:05:06Z", file_}, tree_, blocked);
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find(" -> 2001-02-03 "), std::string::npos) << result.out;
    EXPECT_EQ(TimesOf(file_, ItemType::File).modified, before.modified);
    EXPECT_EQ(TimesOf(file_, ItemType::File).accessed, before.accessed);

    std::vector<std::string> without = job;
    without.insert(without.begin(), "--no-journal");
    EXPECT_EQ(RunCli(without, tree_, blocked).status, 0);
    EXPECT_NE(TimesOf(file_, ItemType::File).modified, before.modified);
}

// A run cut short (its journal has no end line) is named at the next start,
// with the command that undoes it.
TEST_F(CliProcess, ARunCutShortIsNamedWithTheCommandThatUndoesIt) {
    const std::string folder = tree_.Folder("state/Quillbox/Stampwell/journal");
    const std::string journal = folder + "/20261207-000000.000000000.journal";
    std::ofstream(journal) << "Stampwell journal 1\nstarted\t2026-12-07 00:00:00.0 UTC\n"
                              "program\tstampwell-cli\nitem\t/some/where\n";
    const Result result = RunCli({"--dry-run", file_}, tree_);
    EXPECT_NE(result.err.find("was cut short; undo it with: stampwell-cli --undo " + journal),
              std::string::npos)
        << result.err;
}

// -h treats a link given as PATH as the item itself; without it the link is
// followed.
TEST_F(CliProcess, NoDereferenceTreatsTheLinkItself) {
    const std::string link = tree_.Path("link");
    ASSERT_EQ(symlink(file_.c_str(), link.c_str()), 0);
    const ItemTimes before = TimesOf(file_, ItemType::File);
    ASSERT_EQ(RunCli({"-h", "--set", "modified=2001-02-03 04:05:06Z", link}, tree_).status, 0);
    EXPECT_EQ(TimesOf(file_, ItemType::File).modified, before.modified);
    EXPECT_EQ(TimesOf(link, ItemType::File).modified.seconds, 981'173'106);
    ASSERT_EQ(RunCli({"--set", "accessed=2001-02-03 04:05:06Z", link}, tree_).status, 0);
    EXPECT_EQ(TimesOf(file_, ItemType::File).accessed.seconds, 981'173'106);
}

} // namespace
} // namespace stampwell::cli

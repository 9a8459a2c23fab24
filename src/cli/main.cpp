#include "cli/options.h"
#include "cli/report.h"
#include "cli/shellquote.h"
#include "engine/journalledrun.h"
#include "platform/console.h"
#include "platform/item.h"
#include "platform/recordfile.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace {

using namespace stampwell;

void OnInterrupt() {
    engine::RequestCancel();
}

void PrintLine(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
}

// The progress line on a terminal: the count and the item in hand, redrawn a
// few times a second.
class Progress {
public:
    explicit Progress(bool shown) : shown_(shown) {}

    void Item(const std::string& path) {
        ++count_;
        if (!shown_)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < std::chrono::milliseconds(100))
            return;
        last_ = now;
        std::fprintf(stderr, "\r\033[K%llu %s", static_cast<unsigned long long>(count_),
                     Tail(path).c_str());
        std::fflush(stderr);
        drawn_ = true;
    }

    void Clear() {
        if (drawn_)
            std::fputs("\r\033[K", stderr);
        drawn_ = false;
    }

private:
    // The end of a long path, cut where a character begins.
    static std::string Tail(const std::string& path) {
        constexpr std::size_t kWidth = 60;
        if (path.size() <= kWidth)
            return cli::ShellQuoted(path);
        std::size_t start = path.size() - kWidth;
        while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80)
            ++start;
        return "..." + cli::ShellQuoted(std::string_view(path).substr(start));
    }

    bool shown_;
    bool drawn_ = false;
    unsigned long long count_ = 0;
    std::chrono::steady_clock::time_point last_{};
};

// The run did not start: its journal cannot be written.
constexpr int kNoJournal = 3;

// One line for the newest run that was cut short, with the command that
// undoes it.
void NoticeCutShortRun(const std::string& journals, const cli::Options& options) {
    if (options.command == cli::Command::Undo)
        return;
    const std::vector<engine::Journal> cut = engine::CutShortRuns(journals);
    if (cut.empty())
        return;
    PrintLine(stderr, "stampwell-cli: a run over " + cli::ShellQuoted(cut.front().head.item) +
                          " started " + cut.front().head.started +
                          " was cut short; undo it with: stampwell-cli --undo " +
                          cli::ShellQuoted(cut.front().file));
}

int Undo(const cli::Options& options, const std::string& journals, engine::RunCallbacks callbacks,
         Progress& progress) {
    std::string file = options.undo;
    if (file == "last") {
        const std::vector<engine::Journal> kept = engine::ListJournals(journals);
        if (kept.empty()) {
            PrintLine(stderr, "stampwell-cli: no journal in " + cli::ShellQuoted(journals));
            return 2;
        }
        file = kept.front().file;
    }
    engine::Journal undone;
    if (const platform::SysError error = engine::ReadJournal(file, undone); error.Failed()) {
        PrintLine(stderr, "stampwell-cli: cannot read the journal " + cli::ShellQuoted(file) +
                              ": " + error.text);
        return 2;
    }
    std::unique_ptr<engine::JournalWriter> journal;
    if (const platform::SysError error =
            engine::StartUndoJournal(journals, "stampwell-cli", undone, journal);
        error.Failed() && options.journal) {
        PrintLine(stderr, "stampwell-cli: cannot write the undo's journal in " +
                              cli::ShellQuoted(journals) + ": " + error.text +
                              "; nothing was changed (--no-journal undoes without one)");
        return kNoJournal;
    }
    callbacks.itemDone = [&](const engine::ItemReport& report) {
        if (!options.verbose && report.failures.empty())
            return;
        progress.Clear();
        PrintLine(options.verbose ? stdout : stderr, cli::DescribeItem(report));
    };
    platform::SysError journalError;
    const engine::UndoOutcome outcome =
        engine::UndoWithJournal(undone, options.force, callbacks, journal.get(), journalError);
    progress.Clear();
    if (journalError.Failed())
        PrintLine(stderr,
                  "stampwell-cli: the journal could not be completed: " + journalError.text);
    if (outcome.cancelled)
        PrintLine(stderr, "stampwell-cli: cancelled");
    PrintLine(stdout, cli::UndoSummaryLine(outcome));
    std::fflush(stdout);
    if (outcome.cancelled)
        return 130;
    return outcome.failed + outcome.skipped == 0 ? 0 : 1;
}

// The item's values as a run over PATH reads them before it changes anything.
int Show(const cli::Options& options) {
    platform::OpenFolder folder;
    std::string name;
    platform::ItemState state;
    platform::SysError error =
        platform::OpenFolder::OpenParent(options.job.path, options.job.followLink, folder, name);
    if (!error.Failed())
        error = platform::ReadItemState(folder, name,
                                        options.job.isFolder ? platform::ItemType::Folder
                                                             : platform::ItemType::File,
                                        true, state);
    if (error.Failed()) {
        PrintLine(stderr, "stampwell-cli: cannot read " + cli::ShellQuoted(options.job.path) +
                              ": " + error.text);
        return 1;
    }
    std::fputs(cli::DescribeState(state).c_str(), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    platform::UseUtf8Console();
    cli::Options options;
    std::string message;
    switch (cli::ParseCommandLine(platform::CommandLineArguments(argc, argv), options, message)) {
    case cli::ParseResult::Help:
        std::fputs(message.c_str(), stdout);
        return 0;
    case cli::ParseResult::Usage:
        PrintLine(stderr, "stampwell-cli: " + message);
        PrintLine(stderr, "Run with --help for more information.");
        return 2;
    case cli::ParseResult::Run:
        break;
    }

    if (options.command == cli::Command::Show)
        return Show(options);
    const std::string journals = engine::JournalFolder();
    if (options.command == cli::Command::ListJournals) {
        for (const engine::Journal& journal : engine::ListJournals(journals))
            PrintLine(stdout,
                      cli::DescribeJournal(journal, platform::IsRecordFileInUse(journal.file)));
        return 0;
    }
    NoticeCutShortRun(journals, options);

    engine::ClearCancel();
    platform::OnInterrupt(OnInterrupt);
    Progress progress(platform::StderrIsTerminal());
    engine::RunCallbacks callbacks;
    callbacks.itemInHand = [&](const std::string& path, platform::ItemType) {
        progress.Item(path);
    };
    // An item's failures are told in its line: with -v every item's line
    // goes to stdout, without it only a failed item's line, to stderr. A
    // folder that could not be searched belongs to no item.
    callbacks.failure = [&](const engine::Failure& failure) {
        if (failure.step != engine::FailedStep::ListFolder)
            return;
        progress.Clear();
        PrintLine(options.verbose ? stdout : stderr, cli::DescribeFailure(failure));
    };
    if (options.command == cli::Command::Undo)
        return Undo(options, journals, callbacks, progress);

    cli::Treated treated;
    callbacks.itemDone = [&](const engine::ItemReport& report) {
        treated.Count(report);
        if (options.job.dryRun) {
            progress.Clear();
            PrintLine(stdout, cli::DescribePlan(report));
            return;
        }
        if (!options.verbose && report.failures.empty())
            return;
        progress.Clear();
        PrintLine(options.verbose ? stdout : stderr, cli::DescribeItem(report));
    };

    // A dry run writes nothing and needs no journal.
    std::unique_ptr<engine::JournalWriter> journal;
    if (!options.job.dryRun) {
        const platform::SysError error =
            engine::StartJournal(journals, "stampwell-cli", options.job, journal);
        if (error.Failed() && options.journal) {
            PrintLine(stderr, "stampwell-cli: cannot write the run's journal in " +
                                  cli::ShellQuoted(journals) + ": " + error.text +
                                  "; nothing was changed (--no-journal runs without one, and "
                                  "the run cannot be undone)");
            return kNoJournal;
        }
    }
    platform::SysError journalError;
    const engine::Outcome outcome =
        engine::RunWithJournal(options.job, callbacks, journal.get(), journalError);
    progress.Clear();
    if (journalError.Failed())
        PrintLine(stderr,
                  "stampwell-cli: the journal could not be completed: " + journalError.text);
    if (outcome.ending == engine::Ending::FoundNothing)
        PrintLine(stderr, "stampwell-cli: no matching file found");
    else if (outcome.ending == engine::Ending::Cancelled || engine::CancelRun.load())
        PrintLine(stderr, "stampwell-cli: cancelled");
    PrintLine(stdout, cli::SummaryLine(outcome, treated));
    std::fflush(stdout);
    return engine::CancelRun.load() ? 130 : cli::ExitCode(outcome);
}

#include "cli/options.h"
#include "cli/report.h"
#include "cli/shellquote.h"
#include "engine/batchrun.h"
#include "platform/console.h"

#include <chrono>
#include <cstdio>
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
    cli::Treated treated;
    callbacks.itemDone = [&](const engine::ItemReport& report) {
        treated.Count(report);
        if (!options.verbose && report.failures.empty())
            return;
        progress.Clear();
        PrintLine(options.verbose ? stdout : stderr, cli::DescribeItem(report));
    };

    const engine::Outcome outcome = engine::RunBatch(options.job, callbacks);
    progress.Clear();
    if (outcome.ending == engine::Ending::FoundNothing)
        PrintLine(stderr, "stampwell-cli: no matching file found");
    else if (outcome.ending == engine::Ending::Cancelled || engine::CancelRun.load())
        PrintLine(stderr, "stampwell-cli: cancelled");
    PrintLine(stdout, cli::SummaryLine(outcome, treated));
    std::fflush(stdout);
    return engine::CancelRun.load() ? 130 : cli::ExitCode(outcome);
}

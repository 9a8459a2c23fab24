#include "cli/options.h"

#include "app/constants.h"
#include "cli/datetime.h"
#include "cli/shellquote.h"
#include "platform/item.h"
#include "support/modFSO.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <map>
#include <optional>

namespace stampwell::cli {

namespace {

using engine::TimeKind;
using engine::TimeOperation;

std::optional<TimeKind> KindNamed(const std::string& name) {
    static const std::map<std::string, TimeKind> kinds = {{"created", TimeKind::Created},
                                                          {"modified", TimeKind::Modified},
                                                          {"accessed", TimeKind::Accessed}};
    const auto found = kinds.find(name);
    if (found == kinds.end())
        return std::nullopt;
    return found->second;
}

// Splits "A<separator>B" into its two halves.
bool SplitPair(const std::string& text, char separator, std::string& first, std::string& second) {
    const std::size_t at = text.find(separator);
    if (at == std::string::npos)
        return false;
    first = text.substr(0, at);
    second = text.substr(at + 1);
    return true;
}

std::string BadKind(const std::string& option, const std::string& name) {
    return option + ": unknown time kind '" + name + "' (created, modified, accessed)";
}

bool ParseCopy(const std::string& text, bool exchange, TimeOperation& operation,
               std::string& message) {
    const std::string option = exchange ? "--swap" : "--copy";
    std::string first;
    std::string second;
    if (!SplitPair(text, exchange ? ',' : '=', first, second)) {
        message = option + ": expected " + (exchange ? "KIND,KIND" : "TARGET=SOURCE");
        return false;
    }
    const auto target = KindNamed(first);
    const auto source = KindNamed(second);
    if (!target || !source) {
        message = BadKind(option, target ? second : first);
        return false;
    }
    operation = {TimeOperation::Type::Copy, *target, *source, exchange, {}};
    return true;
}

bool ParseSet(const std::string& text, TimeOperation& operation, std::string& message) {
    std::string kind;
    std::string dateTime;
    if (!SplitPair(text, '=', kind, dateTime)) {
        message = "--set: expected KIND=DATETIME";
        return false;
    }
    const auto target = KindNamed(kind);
    if (!target) {
        message = BadKind("--set", kind);
        return false;
    }
    std::string why;
    const auto instant = ParseDateTime(dateTime, why);
    if (!instant) {
        message = "--set: bad date-time '" + dateTime + "': " + why;
        return false;
    }
    operation = {TimeOperation::Type::Set, *target, *target, false, *instant};
    return true;
}

bool ParseAttributeList(const std::string& option, const std::string& list,
                        engine::AttributeOperation& operation, std::string& message) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        const std::string name = list.substr(start, comma - start);
        if (name == "archive")
            operation.archive = true;
        else if (name == "readonly")
            operation.readOnly = true;
        else if (name == "system")
            operation.system = true;
        else if (name == "hidden")
            operation.hidden = true;
        else {
            message =
                option + ": unknown attribute '" + name + "' (archive, readonly, system, hidden)";
            return false;
        }
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

// Whether the path names a link (which need not lead anywhere).
bool IsLink(const std::string& path) {
    platform::OpenFolder folder;
    std::string name;
    platform::ItemState state;
    return !platform::OpenFolder::OpenParent(path, false, folder, name).Failed() &&
           !platform::ReadItemState(folder, name, platform::ItemType::File, false, state)
                .Failed() &&
           state.kind == platform::ItemKind::Link;
}

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& arguments, Options& options,
                             std::string& message) {
    CLI::App app{"Changes the times and attributes of a file, or of the files and folders in "
                 "and below a folder.",
                 "stampwell-cli"};
    std::string path;
    std::string touch = "all";
    std::string copy;
    std::string swap;
    std::string set;
    std::string setAttr;
    std::string clearAttr;
    // -h is --no-dereference, as in touch and chmod; help is --help alone.
    app.set_help_flag("--help", "print this help and exit");
    app.set_version_flag("--version", "stampwell-cli " + std::string(stampwell::app::kVersion),
                         "print the version and exit");
    auto* pathOption = app.add_option("PATH", path, "the file or folder");
    app.add_option("--touch", touch, "what a folder run touches: all, files or folders")
        ->check(CLI::IsMember({"all", "files", "folders"}));
    app.add_option("--filter", options.job.filter, "file-name pattern (must contain a point)")
        ->default_str("*.*");
    app.add_flag("-r,--recursive", options.job.recursive, "include sub-folders");
    auto* copyOption = app.add_option("--copy", copy, "TARGET=SOURCE: copy one time kind");
    auto* swapOption = app.add_option("--swap", swap, "KIND,KIND: exchange two time kinds");
    auto* setOption = app.add_option(
        "--set", set, "KIND=DATETIME: set a time kind (YYYY-MM-DD HH:MM:SS[.fraction][Z|+HH:MM])");
    copyOption->excludes(swapOption)->excludes(setOption);
    swapOption->excludes(setOption);
    auto* setAttrOption = app.add_option("--set-attr", setAttr,
                                         "LIST: set attributes (archive,readonly,system,hidden)");
    auto* clearAttrOption = app.add_option("--clear-attr", clearAttr, "LIST: clear attributes");
    setAttrOption->excludes(clearAttrOption);
    app.add_flag("-v,--verbose", options.verbose, "print each item with what was done");
    bool noDereference = false;
    app.add_flag("-h,--no-dereference", noDereference,
                 "a link given as PATH is the item itself (by default it is followed)");
    app.add_flag("--dry-run", options.job.dryRun,
                 "read and report what would change, item by item; change nothing");
    bool noJournal = false;
    app.add_flag("--no-journal", noJournal,
                 "run without a journal when it cannot be written (the run cannot be undone)");
    auto* undoOption =
        app.add_option("--undo", options.undo, "last|FILE: put back what a journalled run changed");
    auto* forceOption = app.add_flag("--force", options.force,
                                     "with --undo: also put back items changed since the run");
    forceOption->needs(undoOption);
    bool listJournals = false;
    auto* journalOption =
        app.add_flag("--journal", listJournals, "list the kept runs, newest first");
    bool show = false;
    auto* showOption = app.add_flag(
        "--show", show,
        "print PATH's three times (local time with offset, to the nanosecond) and four "
        "attributes, one per line, as a run reads them; change nothing");
    for (CLI::Option* operation :
         {copyOption, swapOption, setOption, setAttrOption, clearAttrOption, pathOption})
        operation->excludes(undoOption)->excludes(journalOption);
    for (CLI::Option* operation : {copyOption, swapOption, setOption, setAttrOption,
                                   clearAttrOption, undoOption, journalOption})
        operation->excludes(showOption);
    undoOption->excludes(journalOption);

    std::vector<std::string> reversed(arguments.begin() + (arguments.empty() ? 0 : 1),
                                      arguments.end());
    std::reverse(reversed.begin(), reversed.end());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        message = app.help();
        return ParseResult::Help;
    } catch (const CLI::CallForVersion& version) {
        message = version.what() + std::string("\n");
        return ParseResult::Help;
    } catch (const CLI::ParseError& error) {
        message = error.what();
        return ParseResult::Usage;
    }

    options.journal = !noJournal;
    if (listJournals) {
        options.command = Command::ListJournals;
        return ParseResult::Run;
    }
    if (*undoOption) {
        options.command = Command::Undo;
        return ParseResult::Run;
    }
    if (!*pathOption) {
        message = "PATH is required";
        return ParseResult::Usage;
    }
    engine::Job& job = options.job;
    job.path = path;
    job.followLink = !noDereference;
    job.mode = touch == "files"     ? engine::Mode::FilesOnly
               : touch == "folders" ? engine::Mode::FoldersOnly
                                    : engine::Mode::FilesAndFolders;
    if (!engine::FilterIsValid(job.filter)) {
        message = "--filter: the pattern '" + job.filter + "' must contain a point ('.')";
        return ParseResult::Usage;
    }
    if (*copyOption && !ParseCopy(copy, false, job.times, message))
        return ParseResult::Usage;
    if (*swapOption && !ParseCopy(swap, true, job.times, message))
        return ParseResult::Usage;
    if (*setOption && !ParseSet(set, job.times, message))
        return ParseResult::Usage;
    if (*setAttrOption) {
        job.attributes.action = engine::AttributeAction::Set;
        if (!ParseAttributeList("--set-attr", setAttr, job.attributes, message))
            return ParseResult::Usage;
    }
    if (*clearAttrOption) {
        job.attributes.action = engine::AttributeAction::Clear;
        if (!ParseAttributeList("--clear-attr", clearAttr, job.attributes, message))
            return ParseResult::Usage;
    }
    if (show)
        options.command = Command::Show;
    if (noDereference && IsLink(job.path)) {
        job.isFolder = false;
        return ParseResult::Run;
    }
    if (!support::FileExists(job.path)) {
        message = "PATH: no file or folder " + ShellQuoted(job.path);
        return ParseResult::Usage;
    }
    job.isFolder = support::FolderExists(job.path);
    return ParseResult::Run;
}

} // namespace stampwell::cli

#pragma once

#include "engine/batchrun.h"
#include "engine/journal.h"
#include "engine/undo.h"

#include <cstdint>
#include <string>

namespace stampwell::cli {

// Paths below are printed as ShellQuoted gives them.

// One line for one item: "PATH: " and what was changed ("modified time set",
// "archive and hidden set"), then for each failed step what was not done and
// why ("archive: not set: Operation not supported"); "unchanged" when there
// was nothing to change. The parts are separated by "; ".
std::string DescribeItem(const engine::ItemReport& report);

// One line for an item of a dry run: "PATH: " and each value that would
// change, old and new ("modified 2001-02-03 04:05:06.000000000 ->
// 2024-07-15 12:00:00.000000000", "hidden: clear -> set"), times in local
// time; "unchanged" when nothing would; failures as in DescribeItem.
std::string DescribePlan(const engine::ItemReport& report);

// One line for a failure outside any item (a folder the search could not
// list): "PATH: folder not searched: the system's reason".
std::string DescribeFailure(const engine::Failure& failure);

// The items a run treated, counted as it reports them done.
struct Treated {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;

    void Count(const engine::ItemReport& report);
};

// The last line of every run: "files: N, folders: M, failed: K", with the
// items treated (after a cancel, fewer than were found).
std::string SummaryLine(const engine::Outcome& outcome, const Treated& treated);

// 0 when nothing failed, 1 when some item failed, 130 after a cancel.
int ExitCode(const engine::Outcome& outcome);

// One line for a kept run: when, which program, the item, the operations,
// how it ended (or "cut short", "undone"), and the journal file.
std::string DescribeJournal(const engine::Journal& journal, bool running);

// What --show prints: the three times in local time with their offset, to
// the nanosecond ("created: 2024-07-15 14:00:00.123456700 +02:00", or
// "created: none"), then the four attributes ("archive: set", "readonly:
// clear", ...), one per line, each line ending in a newline.
std::string DescribeState(const platform::ItemState& state);

// The last line of an undo: "restored: N, skipped: M, failed: K".
std::string UndoSummaryLine(const engine::UndoOutcome& outcome);

} // namespace stampwell::cli

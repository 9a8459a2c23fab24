#pragma once

#include "engine/batchrun.h"

#include <cstdint>
#include <string>

namespace stampwell::cli {

// Paths below are printed as ShellQuoted gives them.

// One line for one item: "PATH: " and what was changed ("modified time set",
// "archive and hidden set"), then for each failed step what was not done and
// why ("archive: not set: Operation not supported"); "unchanged" when there
// was nothing to change. The parts are separated by "; ".
std::string DescribeItem(const engine::ItemReport& report);

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

} // namespace stampwell::cli

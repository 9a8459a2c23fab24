#pragma once

#include "engine/batchrun.h"

#include <string>

namespace stampwell::cli {

// "PATH: what was done" for one item, for -v.
std::string DescribeItem(const engine::ItemReport& report);

// "PATH: what failed: the system's reason" for one failure.
std::string DescribeFailure(const engine::Failure& failure);

// The last line of every run: "files: N, folders: M, failed: K".
std::string SummaryLine(const engine::Outcome& outcome);

// 0 when nothing failed, 1 when some item failed, 130 after a cancel.
int ExitCode(const engine::Outcome& outcome);

} // namespace stampwell::cli

#pragma once

#include "engine/batchrun.h"

#include <string>
#include <vector>

namespace stampwell::cli {

struct Options {
    engine::Job job;
    bool verbose = false;
};

enum class ParseResult {
    Run,   // `options` holds the job
    Help,  // `message` holds the help text
    Usage, // bad usage: `message` names the bad argument
};

// Reads the arguments (the program name first). Checks everything that can
// be checked before a run: the path exists, the filter has a point, kinds,
// lists and the date-time are valid.
ParseResult ParseCommandLine(const std::vector<std::string>& arguments, Options& options,
                             std::string& message);

} // namespace stampwell::cli

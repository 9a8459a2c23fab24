#pragma once

#include "engine/batchrun.h"

#include <string>
#include <vector>

namespace stampwell::cli {

// What the command line asks for.
enum class Command {
    Run,          // a run over PATH
    Undo,         // --undo: put back what a journalled run changed
    ListJournals, // --journal: the kept runs
    Show,         // --show: PATH's times and attributes as a run reads them
};

struct Options {
    Command command = Command::Run;
    engine::Job job;
    bool verbose = false;
    bool journal = true; // false: --no-journal
    std::string undo;    // with Command::Undo: "last" or a journal file
    bool force = false;  // with Command::Undo: restore items changed since
};

enum class ParseResult {
    Run,   // `options` holds the job
    Help,  // `message` holds the help or version text, to be printed
    Usage, // bad usage: `message` names the bad argument
};

// Reads the arguments (the program name first). Checks everything that can
// be checked before a run: the path exists, the filter has a point, kinds,
// lists and the date-time are valid, and the options go together.
ParseResult ParseCommandLine(const std::vector<std::string>& arguments, Options& options,
                             std::string& message);

} // namespace stampwell::cli

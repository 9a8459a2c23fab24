#pragma once

#include "engine/batchrun.h"
#include "engine/journal.h"
#include "engine/undo.h"

#include <memory>
#include <string>

// A run and an undo with their journal, as both front ends start them: the
// journal is created before the search, takes every change before it is
// made, and gets its end line when the run is over; old journals then go.
namespace stampwell::engine {

// Creates the journal of a run of `job` by `program`. A failure (full disk,
// read-only state folder) is the front end's to report: a run never goes
// without its journal unless the user says so.
platform::SysError StartJournal(const std::string& folder, const std::string& program,
                                const Job& job, std::unique_ptr<JournalWriter>& journal);

// The run; `journal` may be null when the user chose to run without one.
// Failing to finish the journal is reported through `journalError`.
Outcome RunWithJournal(const Job& job, RunCallbacks callbacks, JournalWriter* journal,
                       platform::SysError& journalError);

// Creates the journal of an undo of `undone` by `program`.
platform::SysError StartUndoJournal(const std::string& folder, const std::string& program,
                                    const Journal& undone, std::unique_ptr<JournalWriter>& journal);

// The undo; afterwards `undone` is marked as undone by the undo's journal.
UndoOutcome UndoWithJournal(const Journal& undone, bool force, RunCallbacks callbacks,
                            JournalWriter* journal, platform::SysError& journalError);

} // namespace stampwell::engine

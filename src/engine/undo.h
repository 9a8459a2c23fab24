#pragma once

#include "engine/batchrun.h"
#include "engine/journal.h"

#include <cstdint>

// Undo: puts back, for every change of a journal, the values the item had
// before the run, exactly, and reads them back. An undo is a run of its own
// with its own journal, so an undo can be undone.
namespace stampwell::engine {

struct UndoOutcome {
    std::uint64_t restored = 0; // items put back (or found as they were)
    std::uint64_t skipped = 0;  // changed by someone since, or gone: left alone
    std::uint64_t failed = 0;
    bool cancelled = false;
};

// Undoes the changes of `journal`, the last first. An item whose values are
// no longer those the run wrote (nor those from before) was changed since:
// it is left alone and reported with FailedStep::ChangedSince, unless
// `force`. The callbacks come as for a run (itemInHand, failure, itemDone,
// beforeWrite for the undo's own journal); a cancel stops before the next item.
UndoOutcome UndoJournal(const Journal& journal, bool force, const RunCallbacks& callbacks);

} // namespace stampwell::engine

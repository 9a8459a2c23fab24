#pragma once

#include "engine/failure.h"
#include "engine/modFileTime.h"

#include <optional>
#include <string>

// The rules that decide an item's new times in a run.
namespace stampwell::engine {

struct TimeOperation {
    enum class Type {
        None, // no time changes
        Copy, // `target` gets the value of `source` (or the two exchange theirs)
        Set,  // `target` gets `newTime`
    };
    Type type = Type::None;
    TimeKind target = TimeKind::Created;
    TimeKind source = TimeKind::Modified;
    bool exchange = false; // with Copy: exchange the two values
    FileTime newTime;      // with Set: exact, UTC
};

// The new times of an item whose times are `current`: only the kinds the rule
// changes are in `update`, and only when their value differs; every other kind
// keeps its exact value. Fails (TimeUnknown) when the rule takes a time the
// file system keeps none of.
std::optional<Failure> PlanTimes(const TimeOperation& operation, const ItemTimes& current,
                                 TimesUpdate& update);

// What a time rule does to one item.
struct TimesChange {
    std::optional<ItemTimes> before; // as read before anything was written
    TimesUpdate update;              // what is written; empty when nothing changes
};

// Plans and applies the rule to a file or a folder (a link is the item
// itself): reads its times, writes the changed ones and reads them back; a
// value the file system did not keep (ignored, clamped, rounded) is a failure
// (TimesNotKept) and puts the times read before back. `change` tells what
// was planned. Nothing is written when the rule changes nothing.
std::optional<Failure> ApplyFileTimes(const std::string& path, const TimeOperation& operation,
                                      TimesChange& change);
std::optional<Failure> ApplyFolderTimes(const std::string& path, const TimeOperation& operation,
                                        TimesChange& change);

} // namespace stampwell::engine

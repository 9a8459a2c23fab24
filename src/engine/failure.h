#pragma once

#include "platform/syserror.h"

#include <cstdint>
#include <string>

namespace stampwell::engine {

// The three time kinds, numbered as the pick lists number them.
enum class TimeKind { Created = 0, Modified = 1, Accessed = 2 };

// A set of time kinds: bit (1 << kind).
using TimeKindSet = std::uint8_t;

constexpr TimeKindSet KindBit(TimeKind kind) {
    return static_cast<TimeKindSet>(1u << static_cast<unsigned>(kind));
}

// The step of an item's treatment that failed.
enum class FailedStep {
    ListFolder,        // the folder could not be searched; what is below it was not found
    ReadAttributes,    // the attribute word could not be read
    WriteAttributes,   // the new attribute word was refused
    AttributesNotKept, // written, but reading back shows other bits (see `attributes`)
    ReadTimes,         // the times could not be read
    TimeUnknown,       // the rule needs a time the file system does not keep (see `kinds`)
    WriteTimes,        // the new times were refused (see `kinds`)
    TimesNotKept,      // written, but reading back shows other values (see `kinds`); the
                       // values read before were written back
    RestoreTimes,      // the values read before could not be written back (see `kinds`)
    Replaced,          // the name no longer names the item found (now a link, another
                       // item, or the folder that holds it is): nothing was done
    Journal,           // the run's journal could not take the item: nothing was done
    ChangedSince,      // undo: the item was changed or replaced since the run: left alone
    NotRestored,       // undo: reading back shows other values than those from before
};

// One failure of one item. `reason` holds the system's code and text; it is
// empty (code 0) for the "not kept" and "unknown" steps, which the program
// found out by itself.
struct Failure {
    std::string item;
    FailedStep step = FailedStep::ReadTimes;
    platform::SysError reason;
    std::uint32_t attributes = 0; // the attribute bits concerned
    TimeKindSet kinds = 0;        // the time kinds concerned
};

} // namespace stampwell::engine

#pragma once

#include "engine/failure.h"
#include "engine/modAttributes.h"
#include "engine/timerules.h"
#include "platform/item.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The treatment of one item: its values are read before anything touches
// it, the new ones are worked out from them, written, and read back; a
// change the item did not keep is put back to the values read before.
namespace stampwell::engine {

// What was done to one item.
struct ItemReport {
    std::string path;
    platform::ItemType type = platform::ItemType::File;
    // The item's values before anything touched it (when they could be read).
    std::optional<platform::ItemState> before;
    AttributeChange attributes; // before == after: no attribute changed
    TimesChange times;          // an empty update: no time written
    std::vector<Failure> failures;
};

// What a step does to the items of a run.
struct ItemChanges {
    TimeOperation times;
    AttributeOperation attributes;
    bool timesFirst = false; // the times before the attributes
    bool dryRun = false;     // read and plan, write nothing
    // Called before the first write to an item, with what is about to be
    // written, on the thread that works on the item (two threads may call
    // it at once). A failure leaves the item untouched and fails it.
    std::function<platform::SysError(const ItemReport& planned)> beforeWrite;
};

// What the search knew of an item: a name that no longer names it fails.
struct ItemFound {
    platform::ItemType type = platform::ItemType::File;
    bool link = false; // listed as a link (which is an item of its own)
    // For a folder: its identity and its values read before it was listed.
    std::optional<platform::ItemIdentity> identity;
    const platform::ItemState* before = nullptr;
    platform::SysError beforeError;
};

// Treats the item `name` in `folder` (an empty name: the folder itself);
// `path` is what the report calls it.
ItemReport ChangeItem(const platform::OpenFolder& folder, const std::string& name, std::string path,
                      const ItemFound& found, const ItemChanges& changes);

// Treats the item a path names, as it is: a folder as a folder, a link as
// the link itself (with `followLink`, a link named last is followed to its
// item). An item that cannot be reached or read fails at ReadTimes, and
// the report then has no `before`.
ItemReport ChangeItemAtPath(const std::string& path, bool followLink, const ItemChanges& changes);

} // namespace stampwell::engine

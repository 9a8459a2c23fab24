#pragma once

#include "engine/failure.h"
#include "platform/itemtimes.h"
#include "platform/listing.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The search of a run: the files in and below a folder whose names match a
// wildcard pattern, and the folders met on the way.
namespace stampwell::engine {

// One file found. The folder path is shared by every record of one folder,
// so that a list of many thousand files stays small.
struct FileRecord {
    std::shared_ptr<const std::string> Path; // the folder searched, with a trailing separator
    std::string Name;
    // Filled where the listing delivers them for free (Windows); elsewhere
    // HasDetails is false and they are zero.
    bool HasDetails = false;
    std::optional<platform::FileTime> CreationTime;
    platform::FileTime LastAccessTime;
    platform::FileTime LastWriteTime;
    std::uint64_t Size = 0;
    std::uint32_t Attributes = 0;

    // No 8.3 alternate names are listed, so the short name is the name.
    const std::string& ShortName() const { return Name; }
    std::string FullPath() const { return *Path + Name; }
};

// A deque: it grows without moving what it holds, and never holds twice the
// room it needs.
using FileList = std::deque<FileRecord>;

// The folders found by a search, in the order they were met.
using FolderList = std::vector<std::string>;

// Fills a record from a listed entry of the folder `folderPath` (with its
// trailing separator).
void FillFileRecord(FileRecord& record, const platform::ListedEntry& entry,
                    const std::shared_ptr<const std::string>& folderPath);

// What a search reports as it goes.
struct SearchCallbacks {
    std::function<void(const std::string& folder)> listing; // a folder is about to be listed
    std::function<void(const Failure& failure)> failure;    // a folder could not be listed
};

// Searches `folder` (one trailing separator is ignored) and, with `recurse`,
// every folder below it, depth first: a folder's matching files in listing
// order, then each of its sub-folders in turn (those whose names match the
// pattern first, then the others, each in listing order) with everything
// below it. Appends the files to `files` (when given) and every sub-folder to
// `folders`, a folder's sub-folders at the moment the folder is listed.
// Links are never followed: a link is listed as a file. Stops at its next
// check once CancelRun or StopSearch is set; what was found stays in the lists.
// Works without recursion of its own, so any depth is safe.
void FindFiles(const std::string& folder, bool recurse, const std::string& pattern, FileList* files,
               FolderList& folders, const SearchCallbacks& callbacks = {});

} // namespace stampwell::engine

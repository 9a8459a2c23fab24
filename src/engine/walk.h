#pragma once

#include "engine/failure.h"
#include "platform/item.h"
#include "platform/listing.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The walk of a run over a tree: the search opens each folder through the one
// that holds it, by its single name and without following links, and checks
// that it is the folder it found; every later step goes through such open
// folders. A path string is never resolved again, so a folder swapped for a
// link or moved meanwhile cannot send the run out of the chosen tree.
namespace stampwell::engine {

// A folder the walk found. The chosen folder is number 0 and its own parent.
struct FoundFolder {
    std::uint32_t parent = 0;
    std::string name; // in its parent; empty for the chosen folder
    std::string path; // for what the run reports
    platform::ItemIdentity identity;
    // Read before the walk opened or listed it (a listing changes the
    // access time where the system does not let it be kept).
    platform::ItemState before;
    platform::SysError beforeError; // why `before` could not be read
};

using FoundFolders = std::vector<FoundFolder>;

// Keeps the folders of the walk open along one line from the chosen folder
// down, the deepest few dozen of them at once, and opens others as they are
// asked for, by name from the nearest open folder above, each checked to be
// the folder the search found. A folder once handed out stays open as long
// as its taker holds it.
class FolderOpener {
public:
    FolderOpener(const FoundFolders& folders, std::shared_ptr<const platform::OpenFolder> root);

    // The open folder number `index`; fails when it, or a folder above it,
    // cannot be opened or is no longer the folder found.
    platform::SysError Get(std::uint32_t index,
                           std::shared_ptr<const platform::OpenFolder>& folder);

private:
    struct Link {
        std::uint32_t index;
        std::shared_ptr<const platform::OpenFolder> folder; // null: closed for now
    };
    // Opens the closed folders of the line below the deepest open one.
    platform::SysError Reopen();
    // Closes what lies above the deepest few on the line (never the chosen folder).
    void Trim();

    const FoundFolders& folders_;
    std::vector<Link> line_;
    std::vector<std::uint32_t> wanted_; // scratch: the line to the folder asked for
};

// A file the search found, as the listing delivered it.
using FileFound = std::function<void(std::uint32_t folder, platform::ListedEntry& entry)>;

struct WalkOptions {
    bool recurse = false;
    std::string pattern = "*.*";
    bool folderAttributes = false; // read the folders' attribute words too
};

// What a walk reports as it goes.
struct WalkCallbacks {
    std::function<void(const std::string& folder)> listing; // a folder is about to be listed
    std::function<void(const Failure& failure)> failure;    // a folder could not be searched
};

// Searches the chosen folder, open as `root` and named `path`. Depth first:
// a folder's matching files in listing order (name order), then each of its
// sub-folders in turn (those whose names match the pattern first, then the
// others) with everything below it. `folders` gets the chosen folder first,
// then every sub-folder at the moment the folder that holds it is listed.
// Links are never followed: a link is a file. Stops at its next check once
// CancelRun or StopSearch is set. Keeps its own stack: any depth is safe.
void Walk(std::shared_ptr<const platform::OpenFolder> root, const std::string& path,
          const WalkOptions& options, FoundFolders& folders, const FileFound& fileFound,
          const WalkCallbacks& callbacks);

} // namespace stampwell::engine

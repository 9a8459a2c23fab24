#pragma once

#include "engine/failure.h"
#include "engine/itemstep.h"
#include "engine/modAttributes.h"
#include "engine/runflags.h"
#include "engine/timerules.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The batch run: applies a time operation and an attribute operation to the
// chosen item, or to the files and folders in and below it.
//
// A front end fills a Job, clears the flags (ClearCancel), and calls RunBatch,
// usually on a worker thread; its cancel action calls RequestCancel from any
// thread. Every callback comes on the thread that called RunBatch, in the
// order of the items. The engine never formats a text for the user: the front
// end turns the callbacks and the Outcome into its own words.
namespace stampwell::engine {

// What a run touches.
enum class Mode {
    FilesAndFolders = 0, // the files, then the folders
    FilesOnly = 1,
    FoldersOnly = 2,
    SingleFile = 3, // the chosen item is a file
};

struct Job {
    std::string path;     // the chosen file or folder
    bool isFolder = true; // false: the run is a SingleFile run, whatever `mode` says
    Mode mode = Mode::FilesAndFolders;
    bool recursive = false;     // sub-folders included
    std::string filter = "*.*"; // must contain a point (FilterIsValid)
    TimeOperation times;
    AttributeOperation attributes;
    // A link given as the path is followed to what it names, as touch and
    // chmod do; false: the link itself is the one item of the run. Links
    // found inside the chosen folder are never followed.
    bool followLink = true;
    bool dryRun = false; // read and report what would change; touch nothing
};

struct RunCallbacks {
    // The search is about to list this folder.
    std::function<void(const std::string& folder)> searching;
    // The item the run is at (a file or a folder).
    std::function<void(const std::string& path, platform::ItemType type)> itemInHand;
    // Each failure: of an item's step, or a folder the search could not list.
    std::function<void(const Failure& failure)> failure;
    // An item is done (after its failures, if any).
    std::function<void(const ItemReport& report)> itemDone;
    // The search is over: the run will treat this many items (files and
    // folders) unless it is cancelled. Only runs with a search report it.
    std::function<void(std::uint64_t items)> searchDone;
    // Before the first write to an item (see ItemChanges::beforeWrite): on
    // a worker thread, two at once; a failure leaves the item untouched.
    std::function<platform::SysError(const ItemReport& planned)> beforeWrite;
};

enum class Ending {
    BadFilter,    // the filter has no point: nothing was touched
    FoundNothing, // a search found no file, or the chosen file does not exist
    Cancelled,
    Done,
};

struct Outcome {
    Mode mode = Mode::FilesAndFolders; // the mode the run had (SingleFile for a file)
    bool recursive = false;
    Ending ending = Ending::Done;
    std::uint64_t files = 0;   // files found (with sub-folders) or treated (without)
    std::uint64_t folders = 0; // folders treated
    std::uint64_t failed = 0;  // items with a failed step, and folders that could not be searched
};

// True when the filter contains a point.
bool FilterIsValid(const std::string& filter);

// The run itself. Returns when it is done or cancelled.
Outcome RunBatch(const Job& job, const RunCallbacks& callbacks);

// The step for one folder: the attribute operation, then the time rule.
ItemReport ProcessFolder(const std::string& folder, const Job& job);

// The step for one file: the attribute operation, then the time rule (for a
// SingleFile run, the times come first). Safe to call on several threads at
// once for different files. A link is the item itself.
ItemReport ProcessFile(const std::string& file, const Job& job);

} // namespace stampwell::engine

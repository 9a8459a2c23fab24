#include "engine/modFindFiles.h"

#include "engine/runflags.h"
#include "platform/files.h"
#include "support/modFSO.h"

namespace stampwell::engine {

namespace {

constexpr const char* kEveryName = "*.*";

bool SearchStopped() {
    return StopSearch.load(std::memory_order_relaxed) || CancelRun.load(std::memory_order_relaxed);
}

bool RunCancelled() {
    return CancelRun.load(std::memory_order_relaxed);
}

// A folder being searched: its own path and the sub-folders still to search.
struct Level {
    std::string folder;
    std::vector<std::string> subfolders;
    std::size_t next = 0;
};

std::string WithoutTrailingSeparator(const std::string& folder) {
    if (folder.size() < 2 || !platform::IsPathSeparator(folder.back()))
        return folder;
    const std::string stripped = folder.substr(0, folder.size() - 1);
    // A root ("/", "C:\") keeps its separator: without it, it names another place.
    if (platform::IsPathSeparator(stripped.back()) || stripped.back() == ':')
        return folder;
    return stripped;
}

class Search {
public:
    Search(bool recurse, const std::string& pattern, FileList* files, FolderList& folders,
           const SearchCallbacks& callbacks)
        : recurse_(recurse), pattern_(pattern), files_(files), folders_(folders),
          callbacks_(callbacks) {}

    // Lists one folder (one or two passes) into `level`; false when the
    // search must end.
    bool ListFolder(Level& level) {
        if (callbacks_.listing)
            callbacks_.listing(level.folder);
        const auto prefix =
            std::make_shared<const std::string>(support::AddBackslash(level.folder));
        bool reported = false;
        if (!Pass(level, prefix, pattern_, true, reported))
            return false;
        if (!recurse_ || SearchStopped())
            return false;
        // A pattern such as *.txt hides the sub-folders whose names do not
        // match it: a second pass with every name finds them.
        if (pattern_ != kEveryName && !Pass(level, prefix, kEveryName, false, reported))
            return false;
        return !SearchStopped();
    }

private:
    // One listing pass; the first takes files and folders, the second only
    // the folders the first did not take. A folder that cannot be listed is
    // reported once.
    bool Pass(Level& level, const std::shared_ptr<const std::string>& prefix,
              const std::string& pattern, bool firstPass, bool& reported) {
        if (RunCancelled())
            return false;
        const std::size_t firstOfThisPass = level.subfolders.size();
        platform::FolderListing listing(level.folder, pattern);
        platform::ListedEntry entry;
        while (listing.Next(entry)) {
            if (!entry.isFolder) {
                if (firstPass && files_ != nullptr) {
                    FillFileRecord(files_->emplace_back(), entry, prefix);
                }
                if (SearchStopped())
                    return false;
                continue;
            }
            if (!recurse_)
                continue;
            if (RunCancelled())
                return false;
            if (!firstPass && AlreadyTaken(level, firstOfThisPass, entry.name))
                continue;
            folders_.push_back(*prefix + entry.name);
            level.subfolders.push_back(std::move(entry.name));
            if (SearchStopped())
                return true;
        }
        if (listing.Error().Failed() && !reported) {
            reported = true;
            if (callbacks_.failure)
                callbacks_.failure(
                    Failure{level.folder, FailedStep::ListFolder, listing.Error(), 0, 0});
        }
        return true;
    }

    static bool AlreadyTaken(const Level& level, std::size_t firstOfThisPass,
                             const std::string& name) {
        for (std::size_t i = 0; i < firstOfThisPass; ++i)
            if (level.subfolders[i] == name)
                return true;
        return false;
    }

    bool recurse_;
    std::string pattern_;
    FileList* files_;
    FolderList& folders_;
    const SearchCallbacks& callbacks_;
};

} // namespace

void FillFileRecord(FileRecord& record, const platform::ListedEntry& entry,
                    const std::shared_ptr<const std::string>& folderPath) {
    record.Path = folderPath;
    record.Name = entry.name;
    record.HasDetails = entry.hasDetails;
    if (entry.hasDetails) {
        record.Attributes = entry.attributes;
        record.Size = entry.size;
        record.CreationTime = entry.times.created;
        record.LastAccessTime = entry.times.accessed;
        record.LastWriteTime = entry.times.modified;
    }
}

void FindFiles(const std::string& folder, bool recurse, const std::string& pattern, FileList* files,
               FolderList& folders, const SearchCallbacks& callbacks) {
    Search search(recurse, pattern, files, folders, callbacks);
    // The walk keeps its own stack of levels: a tree thousands of folders deep
    // costs memory, never the thread's stack.
    std::vector<Level> stack;
    stack.push_back(Level{WithoutTrailingSeparator(folder), {}, 0});
    if (!search.ListFolder(stack.back()))
        return;
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.subfolders.size()) {
            stack.pop_back();
            continue;
        }
        if (SearchStopped())
            return;
        std::string child = support::AddBackslash(level.folder) + level.subfolders[level.next++];
        stack.push_back(Level{std::move(child), {}, 0});
        if (!search.ListFolder(stack.back())) {
            if (SearchStopped())
                return;
            stack.pop_back();
        }
    }
}

} // namespace stampwell::engine

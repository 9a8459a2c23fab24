#include "engine/walk.h"

#include "engine/runflags.h"
#include "support/modFSO.h"

namespace stampwell::engine {

namespace {

using platform::ItemType;
using platform::OpenFolder;
using platform::SysError;

// How many folders of the line stay open: enough that a walk rarely opens a
// folder twice, few enough for any limit on open descriptors.
constexpr std::size_t kOpenOnLine = 32;

constexpr const char* kEveryName = "*.*";

bool SearchStopped() {
    return StopSearch.load(std::memory_order_relaxed) || CancelRun.load(std::memory_order_relaxed);
}

bool RunCancelled() {
    return CancelRun.load(std::memory_order_relaxed);
}

SysError OpenChecked(const OpenFolder& parent, const FoundFolder& found,
                     std::shared_ptr<const OpenFolder>& folder) {
    auto child = std::make_shared<OpenFolder>();
    if (SysError error = parent.OpenChild(found.name, *child); error.Failed())
        return error;
    if (!(child->Identity() == found.identity))
        return platform::NotTheItemFound();
    folder = std::move(child);
    return {};
}

} // namespace

FolderOpener::FolderOpener(const FoundFolders& folders,
                           std::shared_ptr<const platform::OpenFolder> root)
    : folders_(folders) {
    line_.push_back({0, std::move(root)});
}

SysError FolderOpener::Get(std::uint32_t index, std::shared_ptr<const OpenFolder>& folder) {
    wanted_.clear();
    for (std::uint32_t at = index; at != 0; at = folders_[at].parent)
        wanted_.push_back(at);
    wanted_.push_back(0);
    // The line shares its start with the way to the folder asked for.
    std::size_t shared = 0;
    while (shared < line_.size() && shared < wanted_.size() &&
           line_[shared].index == wanted_[wanted_.size() - 1 - shared])
        ++shared;
    line_.resize(shared);
    if (SysError error = Reopen(); error.Failed())
        return error;
    for (std::size_t k = shared; k < wanted_.size(); ++k) {
        const std::uint32_t next = wanted_[wanted_.size() - 1 - k];
        std::shared_ptr<const OpenFolder> opened;
        if (SysError error = OpenChecked(*line_.back().folder, folders_[next], opened);
            error.Failed())
            return error;
        line_.push_back({next, std::move(opened)});
        Trim();
    }
    folder = line_.back().folder;
    return {};
}

SysError FolderOpener::Reopen() {
    std::size_t open = line_.size() - 1;
    while (!line_[open].folder)
        --open;
    for (std::size_t k = open + 1; k < line_.size(); ++k) {
        if (SysError error =
                OpenChecked(*line_[k - 1].folder, folders_[line_[k].index], line_[k].folder);
            error.Failed()) {
            line_.resize(k);
            return error;
        }
    }
    Trim();
    return {};
}

void FolderOpener::Trim() {
    if (line_.size() > kOpenOnLine + 1)
        for (std::size_t k = line_.size() - kOpenOnLine - 1; k > 0 && line_[k].folder; --k)
            line_[k].folder.reset();
}

namespace {

// A folder being searched: the sub-folders still to search.
struct Level {
    std::uint32_t folder;
    std::vector<std::uint32_t> subfolders;
    std::size_t next = 0;
};

class Search {
public:
    Search(const WalkOptions& options, FoundFolders& folders, FolderOpener& opener,
           const FileFound& fileFound, const WalkCallbacks& callbacks)
        : options_(options), folders_(folders), opener_(opener), fileFound_(fileFound),
          callbacks_(callbacks) {}

    // Lists one folder (one or two passes) into `level`; false when the
    // search must end.
    bool ListFolder(Level& level) {
        if (callbacks_.listing)
            callbacks_.listing(folders_[level.folder].path);
        std::shared_ptr<const OpenFolder> folder;
        if (SysError error = opener_.Get(level.folder, folder); error.Failed()) {
            Report(level.folder, std::move(error));
            return !SearchStopped();
        }
        bool reported = false;
        if (!Pass(level, *folder, options_.pattern, true, reported))
            return false;
        if (!options_.recurse || SearchStopped())
            return false;
        // A pattern such as *.txt hides the sub-folders whose names do not
        // match it: a second pass with every name finds them.
        if (options_.pattern != kEveryName && !Pass(level, *folder, kEveryName, false, reported))
            return false;
        return !SearchStopped();
    }

private:
    void Report(std::uint32_t folder, SysError reason) {
        if (callbacks_.failure)
            callbacks_.failure(
                Failure{folders_[folder].path, FailedStep::ListFolder, std::move(reason), 0, 0});
    }

    // One listing pass; the first takes files and folders, the second only
    // the folders the first did not take. A folder that cannot be listed is
    // reported once.
    bool Pass(Level& level, const OpenFolder& folder, const std::string& pattern, bool firstPass,
              bool& reported) {
        if (RunCancelled())
            return false;
        const std::size_t firstOfThisPass = level.subfolders.size();
        platform::FolderListing listing(folder, pattern);
        platform::ListedEntry entry;
        while (listing.Next(entry)) {
            if (!entry.isFolder) {
                if (firstPass && fileFound_)
                    fileFound_(level.folder, entry);
                if (SearchStopped())
                    return false;
                continue;
            }
            if (!options_.recurse)
                continue;
            if (RunCancelled())
                return false;
            if (!firstPass && AlreadyTaken(level, firstOfThisPass, entry.name))
                continue;
            level.subfolders.push_back(Found(level.folder, folder, std::move(entry.name)));
            if (SearchStopped())
                return true;
        }
        if (listing.Error().Failed() && !reported) {
            reported = true;
            Report(level.folder, listing.Error());
        }
        return true;
    }

    // Records a sub-folder with its values as they are before the walk opens it.
    std::uint32_t Found(std::uint32_t parent, const OpenFolder& folder, std::string name) {
        FoundFolder found;
        found.parent = parent;
        found.path = support::AddBackslash(folders_[parent].path) + name;
        found.beforeError = platform::ReadItemState(folder, name, ItemType::Folder,
                                                    options_.folderAttributes, found.before);
        found.identity = found.before.identity;
        found.name = std::move(name);
        folders_.push_back(std::move(found));
        return static_cast<std::uint32_t>(folders_.size() - 1);
    }

    bool AlreadyTaken(const Level& level, std::size_t firstOfThisPass,
                      const std::string& name) const {
        for (std::size_t i = 0; i < firstOfThisPass; ++i)
            if (folders_[level.subfolders[i]].name == name)
                return true;
        return false;
    }

    const WalkOptions& options_;
    FoundFolders& folders_;
    FolderOpener& opener_;
    const FileFound& fileFound_;
    const WalkCallbacks& callbacks_;
};

} // namespace

void Walk(std::shared_ptr<const OpenFolder> root, const std::string& path,
          const WalkOptions& options, FoundFolders& folders, const FileFound& fileFound,
          const WalkCallbacks& callbacks) {
    FoundFolder chosen;
    chosen.path = path;
    chosen.identity = root->Identity();
    chosen.beforeError = platform::ReadItemState(*root, "", ItemType::Folder,
                                                 options.folderAttributes, chosen.before);
    folders.clear();
    folders.push_back(std::move(chosen));
    FolderOpener opener(folders, std::move(root));
    Search search(options, folders, opener, fileFound, callbacks);
    std::vector<Level> stack;
    stack.push_back(Level{0, {}, 0});
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
        const std::uint32_t child = level.subfolders[level.next++];
        stack.push_back(Level{child, {}, 0});
        if (!search.ListFolder(stack.back())) {
            if (SearchStopped())
                return;
            stack.pop_back();
        }
    }
}

} // namespace stampwell::engine

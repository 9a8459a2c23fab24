#include "engine/modFindFiles.h"

#include "engine/walk.h"
#include "platform/files.h"
#include "support/modFSO.h"

namespace stampwell::engine {

namespace {

std::string WithoutTrailingSeparator(const std::string& folder) {
    if (folder.size() < 2 || !platform::IsPathSeparator(folder.back()))
        return folder;
    const std::string stripped = folder.substr(0, folder.size() - 1);
    // A root ("/", "C:\") keeps its separator: without it, it names another place.
    if (platform::IsPathSeparator(stripped.back()) || stripped.back() == ':')
        return folder;
    return stripped;
}

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
    const std::string chosen = WithoutTrailingSeparator(folder);
    WalkCallbacks walkCallbacks;
    walkCallbacks.listing = callbacks.listing;
    walkCallbacks.failure = callbacks.failure;
    auto root = std::make_shared<platform::OpenFolder>();
    if (auto error = platform::OpenFolder::Open(chosen, *root); error.Failed()) {
        if (walkCallbacks.listing)
            walkCallbacks.listing(chosen);
        if (walkCallbacks.failure)
            walkCallbacks.failure(Failure{chosen, FailedStep::ListFolder, std::move(error), 0, 0});
        return;
    }
    WalkOptions options;
    options.recurse = recurse;
    options.pattern = pattern;
    FoundFolders found;
    // The files of one folder come together: they share one copy of its path.
    std::uint32_t lastFolder = 0;
    std::shared_ptr<const std::string> prefix;
    FileFound fileFound;
    if (files != nullptr)
        fileFound = [&](std::uint32_t at, platform::ListedEntry& entry) {
            if (!prefix || at != lastFolder) {
                prefix = std::make_shared<const std::string>(support::AddBackslash(found[at].path));
                lastFolder = at;
            }
            FillFileRecord(files->emplace_back(), entry, prefix);
        };
    Walk(std::move(root), chosen, options, found, fileFound, walkCallbacks);
    for (std::size_t i = 1; i < found.size(); ++i)
        folders.push_back(std::move(found[i].path));
}

} // namespace stampwell::engine

#include "engine/batchrun.h"

#include "engine/filepool.h"
#include "engine/walk.h"
#include "support/modFSO.h"

#include <algorithm>
#include <deque>
#include <memory>

namespace stampwell::engine {

namespace {

using platform::ItemKind;
using platform::OpenFolder;
using platform::SysError;

// Files are worked off two at a time; the callbacks lag behind the work by
// at most this many files.
constexpr std::size_t kWindow = 256;

bool Cancelled() {
    return CancelRun.load(std::memory_order_relaxed);
}

bool AttributesWanted(const Job& job) {
    return job.attributes.action != AttributeAction::None && job.attributes.Bits() != 0;
}

ItemChanges ChangesOf(const Job& job, const RunCallbacks& callbacks) {
    ItemChanges changes;
    changes.times = job.times;
    changes.attributes = job.attributes;
    // A single file gets its times before its attributes.
    changes.timesFirst = !job.isFolder;
    changes.dryRun = job.dryRun;
    changes.beforeWrite = callbacks.beforeWrite;
    return changes;
}

// A file the search found: the folder that holds it and its name there.
struct FoundFile {
    const char* name; // kept by FoundFiles
    std::uint32_t folder;
    bool link;
};

// The files a search found, in the order found. The names lie end to end in
// large blocks: a file costs its name and a few bytes, however long the name.
class FoundFiles {
public:
    void Add(std::uint32_t folder, bool link, const std::string& name) {
        const std::size_t size = name.size() + 1;
        if (free_ < size) {
            free_ = std::max(kNameBlock, size);
            blocks_.push_back(std::make_unique<char[]>(free_));
            next_ = blocks_.back().get();
        }
        std::copy(name.c_str(), name.c_str() + size, next_);
        files_.push_back({next_, folder, link});
        next_ += size;
        free_ -= size;
    }

    std::size_t size() const { return files_.size(); }
    bool empty() const { return files_.empty(); }
    const FoundFile& operator[](std::size_t i) const { return files_[i]; }
    auto begin() const { return files_.begin(); }
    auto end() const { return files_.end(); }

private:
    static constexpr std::size_t kNameBlock = 64 * 1024;

    std::deque<FoundFile> files_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    std::size_t free_ = 0;
};

// An item that could not be reached: the folder that holds it could not be
// opened again, or is no longer the folder found.
ItemReport Unreachable(std::string path, platform::ItemType type, SysError reason) {
    ItemReport report;
    report.path = std::move(path);
    report.type = type;
    report.failures.push_back(Failure{report.path, FailedStep::Replaced, std::move(reason), 0, 0});
    return report;
}

class Run {
public:
    Run(const Job& job, const RunCallbacks& callbacks)
        : job_(job), callbacks_(callbacks), changes_(ChangesOf(job, callbacks)) {}

    Outcome Go() {
        outcome_.mode = job_.isFolder ? job_.mode : Mode::SingleFile;
        outcome_.recursive = job_.recursive;
        if (!FilterIsValid(job_.filter)) {
            outcome_.ending = Ending::BadFilter;
            return outcome_;
        }
        if (outcome_.mode != Mode::SingleFile && !OpenChosenFolder())
            return outcome_;
        switch (outcome_.mode) {
        case Mode::FilesAndFolders:
        case Mode::FilesOnly:
            if (job_.recursive)
                FilesWithSubfolders();
            else
                FilesOfOneFolder();
            break;
        case Mode::FoldersOnly:
            if (job_.recursive)
                FoldersWithSubfolders();
            else
                OneFolder();
            break;
        case Mode::SingleFile:
            SingleFile();
            break;
        }
        return outcome_;
    }

private:
    void Deliver(const ItemReport& report) {
        if (callbacks_.itemInHand)
            callbacks_.itemInHand(report.path, report.type);
        for (const Failure& failure : report.failures)
            ReportFailure(failure);
        if (!report.failures.empty())
            ++outcome_.failed;
        if (callbacks_.itemDone)
            callbacks_.itemDone(report);
    }

    void ReportFailure(const Failure& failure) {
        if (callbacks_.failure)
            callbacks_.failure(failure);
    }

    void SearchDone(std::uint64_t items) {
        if (callbacks_.searchDone)
            callbacks_.searchDone(items);
    }

    // The chosen folder, opened once; a link given as the path is followed
    // unless the run is to treat the link itself, which then is its one item.
    bool OpenChosenFolder() {
        if (!job_.followLink) {
            OpenFolder parent;
            std::string name;
            platform::ItemState state;
            if (!OpenFolder::OpenParent(job_.path, false, parent, name).Failed() &&
                !platform::ReadItemState(parent, name, platform::ItemType::File, false, state)
                     .Failed() &&
                state.kind == ItemKind::Link) {
                outcome_.mode = Mode::SingleFile;
                return true;
            }
        }
        auto root = std::make_shared<OpenFolder>();
        if (SysError error = OpenFolder::Open(job_.path, *root); error.Failed()) {
            ++outcome_.failed;
            ReportFailure(Failure{job_.path, FailedStep::ListFolder, std::move(error), 0, 0});
            outcome_.ending = Ending::FoundNothing;
            return false;
        }
        root_ = std::move(root);
        return true;
    }

    // The search; a folder it cannot list counts as failed.
    void Search(FoundFiles* files, bool recurse) {
        StopSearch.store(false);
        WalkOptions options;
        options.recurse = recurse;
        options.pattern = job_.filter;
        options.folderAttributes = AttributesWanted(job_);
        WalkCallbacks callbacks;
        callbacks.listing = callbacks_.searching;
        callbacks.failure = [this](const Failure& failure) {
            ++outcome_.failed;
            ReportFailure(failure);
        };
        FileFound found;
        if (files != nullptr)
            found = [files](std::uint32_t folder, platform::ListedEntry& entry) {
                files->Add(folder, entry.isLink, entry.name);
            };
        Walk(root_, job_.path, options, folders_, found, callbacks);
    }

    std::string PathOf(const FoundFile& file) const {
        return support::AddBackslash(folders_[file.folder].path) + file.name;
    }

    ItemReport ChangeFile(const OpenFolder& folder, const FoundFile& file) const {
        ItemFound found;
        found.link = file.link;
        return ChangeItem(folder, file.name, PathOf(file), found, changes_);
    }

    ItemReport ChangeFolder(const OpenFolder& parent, const std::string& name,
                            const FoundFolder& folder) const {
        ItemFound found;
        found.type = platform::ItemType::Folder;
        found.before = &folder.before;
        found.beforeError = folder.beforeError;
        return ChangeItem(parent, name, folder.path, found, changes_);
    }

    // The sub-folders in the order they were found, the chosen folder last.
    // One that has vanished since it was found is skipped and not counted;
    // one that is no longer the folder found fails. A cancel does not stop
    // this phase.
    void FolderPhase() {
        FolderOpener opener(folders_, root_);
        for (std::uint32_t i = 1; i < folders_.size(); ++i) {
            const FoundFolder& folder = folders_[i];
            std::shared_ptr<const OpenFolder> parent;
            SysError error = opener.Get(folder.parent, parent);
            platform::ItemState now;
            if (!error.Failed())
                error = platform::ReadItemState(*parent, folder.name, platform::ItemType::Folder,
                                                false, now);
            if (platform::IsNotFound(error))
                continue;
            if (!error.Failed() &&
                (now.kind != ItemKind::Folder || !(now.identity == folder.identity)))
                error = platform::NotTheItemFound();
            Deliver(error.Failed()
                        ? Unreachable(folder.path, platform::ItemType::Folder, std::move(error))
                        : ChangeFolder(*parent, folder.name, folder));
            ++outcome_.folders;
        }
        Deliver(ChangeFolder(*root_, "", folders_.front()));
        ++outcome_.folders;
    }

    void FilesWithSubfolders() {
        FoundFiles files;
        Search(&files, true);
        if (files.empty()) {
            outcome_.ending = Ending::FoundNothing;
            return;
        }
        if (Cancelled()) {
            outcome_.ending = Ending::Cancelled;
            return;
        }
        outcome_.files = files.size();
        SearchDone(files.size() + (outcome_.mode == Mode::FilesAndFolders ? folders_.size() : 0));
        WorkOffFiles(files);
        if (Cancelled()) {
            outcome_.ending = Ending::Cancelled;
            return;
        }
        if (outcome_.mode == Mode::FilesAndFolders)
            FolderPhase();
        outcome_.ending = Ending::Done;
    }

    // Two threads work on the files; the folders that hold them are opened
    // ahead, on this thread. The previous file's slot still holds its folder.
    void WorkOffFiles(const FoundFiles& files) {
        FolderOpener opener(folders_, root_);
        std::vector<std::shared_ptr<const OpenFolder>> holders(kWindow);
        std::vector<SysError> holderErrors(kWindow);
        std::vector<ItemReport> reports(kWindow);
        WorkInOrder(
            files.size(), kWindow,
            [&](std::size_t begin, std::size_t end) {
                for (std::size_t i = begin; i < end; ++i) {
                    const std::size_t slot = i % kWindow;
                    if (i > 0 && files[i].folder == files[i - 1].folder) {
                        holders[slot] = holders[(i - 1) % kWindow];
                        holderErrors[slot] = holderErrors[(i - 1) % kWindow];
                    } else {
                        holders[slot].reset();
                        holderErrors[slot] = opener.Get(files[i].folder, holders[slot]);
                    }
                }
            },
            [&](std::size_t i) {
                const std::size_t slot = i % kWindow;
                const FoundFile& file = files[i];
                reports[slot] = holders[slot] ? ChangeFile(*holders[slot], file)
                                              : Unreachable(PathOf(file), platform::ItemType::File,
                                                            holderErrors[slot]);
            },
            [&](std::size_t i) { Deliver(reports[i % kWindow]); }, Cancelled);
    }

    // Without sub-folders: the folder's own files, hidden and system files
    // left out, in name order.
    void FilesOfOneFolder() {
        FoundFiles files;
        Search(&files, false);
        for (const FoundFile& file : files) {
            if (Cancelled())
                break;
            // The values read to leave out hidden and system files are those
            // the step goes on from.
            const std::string name = file.name;
            platform::ItemState state;
            ItemFound found;
            found.link = file.link;
            found.beforeError =
                platform::ReadItemState(*root_, name, platform::ItemType::File, true, state);
            found.before = &state;
            if (!found.beforeError.Failed() &&
                (state.attributes & (kAttrHidden | kAttrSystem)) != 0)
                continue;
            Deliver(ChangeItem(*root_, name, PathOf(file), found, changes_));
            ++outcome_.files;
        }
        if (outcome_.mode == Mode::FilesAndFolders) {
            Deliver(ChangeFolder(*root_, "", folders_.front()));
            ++outcome_.folders;
        }
        outcome_.ending = Cancelled() ? Ending::Cancelled : Ending::Done;
    }

    void FoldersWithSubfolders() {
        Search(nullptr, true);
        if (Cancelled()) {
            outcome_.ending = Ending::Cancelled;
            return;
        }
        SearchDone(folders_.size());
        FolderPhase();
        outcome_.ending = Ending::Done;
    }

    void OneFolder() {
        FoundFolder chosen;
        chosen.path = job_.path;
        chosen.beforeError = platform::ReadItemState(*root_, "", platform::ItemType::Folder,
                                                     AttributesWanted(job_), chosen.before);
        Deliver(ChangeFolder(*root_, "", chosen));
        outcome_.folders = 1;
        outcome_.ending = Cancelled() ? Ending::Cancelled : Ending::Done;
    }

    void SingleFile() {
        const ItemReport report = ChangeItemAtPath(job_.path, job_.followLink, changes_);
        if (!report.before) {
            outcome_.ending = Ending::FoundNothing;
            return;
        }
        Deliver(report);
        outcome_.files = 1;
        outcome_.ending = Ending::Done;
    }

    const Job& job_;
    const RunCallbacks& callbacks_;
    const ItemChanges changes_;
    Outcome outcome_;
    std::shared_ptr<const OpenFolder> root_;
    FoundFolders folders_;
};

} // namespace

bool FilterIsValid(const std::string& filter) {
    return filter.find('.') != std::string::npos;
}

Outcome RunBatch(const Job& job, const RunCallbacks& callbacks) {
    return Run(job, callbacks).Go();
}

ItemReport ProcessFolder(const std::string& folder, const Job& job) {
    return ChangeItemAtPath(folder, false, ChangesOf(job, {}));
}

ItemReport ProcessFile(const std::string& file, const Job& job) {
    return ChangeItemAtPath(file, false, ChangesOf(job, {}));
}

} // namespace stampwell::engine

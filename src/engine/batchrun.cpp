#include "engine/batchrun.h"

#include "engine/filepool.h"
#include "engine/modFindFiles.h"
#include "platform/listing.h"
#include "support/modFSO.h"

namespace stampwell::engine {

namespace {

// Files are worked off two at a time in batches of this size; the callbacks
// lag behind the work by at most one batch.
constexpr std::size_t kBatchSize = 64;

// Whether a folder found by the search is still there: its times can be read.
// Unlike an existence test that follows links, this reaches paths of any
// length and needs no permission to read the folder itself.
bool FolderStillThere(const std::string& path) {
    ItemTimes times;
    return !platform::ReadItemTimes(path, ItemType::Folder, times).Failed();
}

bool Cancelled() {
    return CancelRun.load(std::memory_order_relaxed);
}

void AddFailure(ItemReport& report, std::optional<Failure> failure) {
    if (failure)
        report.failures.push_back(std::move(*failure));
}

class Run {
public:
    Run(const Job& job, const RunCallbacks& callbacks) : job_(job), callbacks_(callbacks) {}

    Outcome Go() {
        outcome_.mode = job_.isFolder ? job_.mode : Mode::SingleFile;
        outcome_.recursive = job_.recursive;
        if (!FilterIsValid(job_.filter)) {
            outcome_.ending = Ending::BadFilter;
            return outcome_;
        }
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

    // The search; a folder it cannot list counts as failed.
    void Search(FileList* files) {
        StopSearch.store(false);
        SearchCallbacks search;
        search.listing = callbacks_.searching;
        search.failure = [this](const Failure& failure) {
            ++outcome_.failed;
            ReportFailure(failure);
        };
        FindFiles(job_.path, true, job_.filter, files, folders_, search);
    }

    // The chosen folder last; a folder that has vanished since it was found
    // is skipped and not counted. A cancel does not stop this phase.
    void FolderPhase() {
        folders_.push_back(job_.path);
        for (const std::string& folder : folders_) {
            if (!FolderStillThere(folder))
                continue;
            Deliver(ProcessFolder(folder, job_));
            ++outcome_.folders;
        }
    }

    void FilesWithSubfolders() {
        FileList files;
        Search(&files);
        if (files.empty()) {
            outcome_.ending = Ending::FoundNothing;
            return;
        }
        if (Cancelled()) {
            outcome_.ending = Ending::Cancelled;
            return;
        }
        outcome_.files = files.size();
        SearchDone(files.size() +
                   (outcome_.mode == Mode::FilesAndFolders ? folders_.size() + 1 : 0));
        std::vector<ItemReport> reports(kBatchSize);
        WorkInOrder(
            files.size(), kBatchSize,
            [&](std::size_t i) {
                reports[i % kBatchSize] = ProcessFile(files[i].FullPath(), job_);
            },
            [&](std::size_t i) { Deliver(reports[i % kBatchSize]); }, Cancelled);
        if (Cancelled()) {
            outcome_.ending = Ending::Cancelled;
            return;
        }
        if (outcome_.mode == Mode::FilesAndFolders)
            FolderPhase();
        outcome_.ending = Ending::Done;
    }

    // Without sub-folders: the folder's own files, hidden and system files
    // left out, each taken as the listing delivers it.
    void FilesOfOneFolder() {
        {
            platform::FolderListing listing(job_.path, job_.filter);
            platform::ListedEntry entry;
            const std::string prefix = support::AddBackslash(job_.path);
            while (!Cancelled() && listing.Next(entry)) {
                if (entry.isFolder)
                    continue;
                const std::string file = prefix + entry.name;
                std::uint32_t word = entry.attributes;
                if (!entry.hasDetails && platform::ReadAttributes(file, word).Failed())
                    word = 0;
                if ((word & (kAttrHidden | kAttrSystem)) != 0)
                    continue;
                Deliver(ProcessFile(file, job_));
                ++outcome_.files;
            }
            if (listing.Error().Failed()) {
                ++outcome_.failed;
                ReportFailure(Failure{job_.path, FailedStep::ListFolder, listing.Error(), 0, 0});
            }
        }
        if (outcome_.mode == Mode::FilesAndFolders) {
            Deliver(ProcessFolder(job_.path, job_));
            ++outcome_.folders;
        }
        outcome_.ending = Cancelled() ? Ending::Cancelled : Ending::Done;
    }

    void FoldersWithSubfolders() {
        Search(nullptr);
        if (Cancelled()) {
            outcome_.ending = Ending::Cancelled;
            return;
        }
        SearchDone(folders_.size() + 1);
        FolderPhase();
        outcome_.ending = Ending::Done;
    }

    void OneFolder() {
        Deliver(ProcessFolder(job_.path, job_));
        outcome_.folders = 1;
        outcome_.ending = Cancelled() ? Ending::Cancelled : Ending::Done;
    }

    void SingleFile() {
        if (!support::FileExists(job_.path)) {
            outcome_.ending = Ending::FoundNothing;
            return;
        }
        Deliver(ProcessFile(job_.path, job_));
        outcome_.files = 1;
        outcome_.ending = Ending::Done;
    }

    const Job& job_;
    const RunCallbacks& callbacks_;
    Outcome outcome_;
    FolderList folders_;
};

} // namespace

bool FilterIsValid(const std::string& filter) {
    return filter.find('.') != std::string::npos;
}

Outcome RunBatch(const Job& job, const RunCallbacks& callbacks) {
    return Run(job, callbacks).Go();
}

ItemReport ProcessFolder(const std::string& folder, const Job& job) {
    ItemReport report{folder, platform::ItemType::Folder, {}, {}, {}};
    AddFailure(report, ApplyAttributes(folder, job.attributes, report.attributes));
    AddFailure(report, ApplyFolderTimes(folder, job.times, report.times));
    return report;
}

ItemReport ProcessFile(const std::string& file, const Job& job) {
    ItemReport report{file, platform::ItemType::File, {}, {}, {}};
    // Times are written through an open for attributes only, which works on
    // a read-only file without touching its attribute: no guard is needed.
    if (!job.isFolder) {
        AddFailure(report, ApplyFileTimes(file, job.times, report.times));
        AddFailure(report, ApplyAttributes(file, job.attributes, report.attributes));
    } else {
        AddFailure(report, ApplyAttributes(file, job.attributes, report.attributes));
        AddFailure(report, ApplyFileTimes(file, job.times, report.times));
    }
    return report;
}

} // namespace stampwell::engine

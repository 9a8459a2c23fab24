#include "engine/journalledrun.h"

#include "platform/files.h"

namespace stampwell::engine {

namespace {

std::string FolderOf(const std::string& file) {
    const std::size_t end = file.find_last_of("/\\");
    return end == std::string::npos ? std::string() : file.substr(0, end);
}

std::string NameOf(const std::string& file) {
    const std::size_t end = file.find_last_of("/\\");
    return end == std::string::npos ? file : file.substr(end + 1);
}

void AddToJournal(RunCallbacks& callbacks, JournalWriter* journal) {
    if (journal != nullptr)
        callbacks.beforeWrite = [journal](const ItemReport& planned) {
            return journal->Add(planned);
        };
}

} // namespace

platform::SysError StartJournal(const std::string& folder, const std::string& program,
                                const Job& job, std::unique_ptr<JournalWriter>& journal) {
    return JournalWriter::Create(
        folder, {JournalTimeNow(), program, job.path, DescribeJob(job), {}}, journal);
}

Outcome RunWithJournal(const Job& job, RunCallbacks callbacks, JournalWriter* journal,
                       platform::SysError& journalError) {
    AddToJournal(callbacks, journal);
    const Outcome outcome = RunBatch(job, callbacks);
    if (journal != nullptr) {
        journalError = journal->Finish(
            EndingWord(outcome.ending),
            {{"files", outcome.files}, {"folders", outcome.folders}, {"failed", outcome.failed}});
        PruneJournals(FolderOf(journal->Path()), journal->Path());
    }
    return outcome;
}

platform::SysError StartUndoJournal(const std::string& folder, const std::string& program,
                                    const Journal& undone,
                                    std::unique_ptr<JournalWriter>& journal) {
    JournalHead head{JournalTimeNow(), program, undone.head.item,
                     "undo of " + undone.head.operations, NameOf(undone.file)};
    return JournalWriter::Create(folder, head, journal);
}

UndoOutcome UndoWithJournal(const Journal& undone, bool force, RunCallbacks callbacks,
                            JournalWriter* journal, platform::SysError& journalError) {
    AddToJournal(callbacks, journal);
    const UndoOutcome outcome = UndoJournal(undone, force, callbacks);
    if (journal != nullptr) {
        journalError = journal->Finish(outcome.cancelled ? "cancelled" : "done",
                                       {{"restored", outcome.restored},
                                        {"skipped", outcome.skipped},
                                        {"failed", outcome.failed}});
        if (!outcome.cancelled)
            MarkUndone(undone.file, NameOf(journal->Path()));
        PruneJournals(FolderOf(journal->Path()), journal->Path());
    }
    return outcome;
}

} // namespace stampwell::engine

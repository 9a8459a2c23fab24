#include "engine/undo.h"

namespace stampwell::engine {

namespace {

using platform::ItemState;
using platform::SysError;

constexpr std::uint32_t kUserBits = kAttrArchive | kAttrReadOnly | kAttrSystem | kAttrHidden;
constexpr std::uint32_t kModeBits = 07777;

bool Cancelled() {
    return CancelRun.load(std::memory_order_relaxed);
}

class UndoStep {
public:
    UndoStep(const JournalChange& change, bool force, bool runEnded, ItemReport& report,
             const RunCallbacks& callbacks)
        : change_(change), force_(force), runEnded_(runEnded), report_(report),
          callbacks_(callbacks) {}

    void Run() {
        report_.path = change_.path;
        report_.type = change_.type;
        platform::OpenFolder folder;
        std::string name;
        SysError error = platform::OpenFolder::OpenParent(change_.path, false, folder, name);
        ItemState now;
        const bool attributes = change_.writtenWord.has_value() && change_.attributesRead;
        if (!error.Failed())
            error = platform::ReadItemState(folder, name, change_.type, attributes, now);
        if (platform::IsNotFound(error))
            return Fail(FailedStep::ChangedSince, std::move(error));
        if (error.Failed())
            return Fail(FailedStep::ReadTimes, std::move(error));
        if (!(now.identity == change_.before.identity) || now.kind != change_.before.kind)
            return Fail(FailedStep::ChangedSince, {});
        if (!force_ && ChangedSince(now, attributes))
            return Fail(FailedStep::ChangedSince, {});

        report_.before = now;
        report_.times.before = now.times;
        TimesUpdate& restore = report_.times.update;
        for (const TimeKind kind : {TimeKind::Created, TimeKind::Modified, TimeKind::Accessed}) {
            const std::optional<FileTime> old = TimeOf(change_.before.times, kind);
            if (TimeOf(change_.written, kind) && old && TimeOf(now.times, kind) != old)
                SetTimeOf(restore, kind, *old);
        }
        const bool restoreWord = attributes && !SameAttributes(now, change_.before);
        if (restoreWord) {
            report_.attributes.before = now.attributes;
            report_.attributes.after = change_.before.attributes;
        }
        if (KindsOf(restore) == 0 && !restoreWord)
            return;
        if (callbacks_.beforeWrite) {
            if (SysError failed = callbacks_.beforeWrite(report_); failed.Failed())
                return Fail(FailedStep::Journal, std::move(failed));
        }
        if (KindsOf(restore) != 0) {
            if (SysError failed = platform::WriteItemTimesAt(folder, name, change_.type, restore);
                failed.Failed())
                Fail(FailedStep::WriteTimes, std::move(failed), 0, KindsOf(restore));
        }
        if (restoreWord) {
            if (SysError failed =
                    platform::RestoreAttributesAt(folder, name, change_.type, change_.before);
                failed.Failed())
                Fail(FailedStep::WriteAttributes, std::move(failed),
                     (now.attributes ^ change_.before.attributes) & kUserBits);
        }
        ItemState kept;
        if (SysError failed = platform::ReadItemState(folder, name, change_.type, attributes, kept);
            failed.Failed())
            return Fail(FailedStep::ReadTimes, std::move(failed));
        TimeKindSet lost = 0;
        for (const TimeKind kind : {TimeKind::Created, TimeKind::Modified, TimeKind::Accessed})
            if (TimeOf(restore, kind) && TimeOf(kept.times, kind) != TimeOf(restore, kind))
                lost |= KindBit(kind);
        const std::uint32_t lostBits =
            restoreWord && !SameAttributes(kept, change_.before)
                ? ((kept.attributes ^ change_.before.attributes) & kUserBits) | kAttrReadOnly
                : 0;
        if (lost != 0 || lostBits != 0)
            Fail(FailedStep::NotRestored, {}, lostBits, lost);
    }

private:
    static bool SameAttributes(const ItemState& a, const ItemState& b) {
        return (a.attributes & kUserBits) == (b.attributes & kUserBits) &&
               (a.mode & kModeBits) == (b.mode & kModeBits) && a.stored == b.stored;
    }

    // A value that is neither what the run wrote nor what the item had
    // before was changed by someone else. A run cut short may have been
    // killed while it lifted a read-only item's write bits for a moment:
    // its Read-only bit is then put back whatever it shows.
    bool ChangedSince(const ItemState& now, bool attributes) const {
        for (const TimeKind kind : {TimeKind::Created, TimeKind::Modified, TimeKind::Accessed}) {
            const std::optional<FileTime> written = TimeOf(change_.written, kind);
            const std::optional<FileTime> value = TimeOf(now.times, kind);
            if (written && value != written && value != TimeOf(change_.before.times, kind))
                return true;
        }
        if (!attributes)
            return false;
        const std::uint32_t concerned = runEnded_ ? kUserBits : kUserBits & ~kAttrReadOnly;
        const std::uint32_t neither = (now.attributes ^ *change_.writtenWord) &
                                      (now.attributes ^ change_.before.attributes) & concerned;
        return neither != 0;
    }

    void Fail(FailedStep step, SysError reason, std::uint32_t bits = 0, TimeKindSet kinds = 0) {
        report_.failures.push_back(Failure{report_.path, step, std::move(reason), bits, kinds});
    }

    const JournalChange& change_;
    bool force_;
    bool runEnded_;
    ItemReport& report_;
    const RunCallbacks& callbacks_;
};

} // namespace

UndoOutcome UndoJournal(const Journal& journal, bool force, const RunCallbacks& callbacks) {
    UndoOutcome outcome;
    for (auto change = journal.changes.rbegin(); change != journal.changes.rend(); ++change) {
        if (Cancelled()) {
            outcome.cancelled = true;
            break;
        }
        ItemReport report;
        UndoStep(*change, force, journal.ended, report, callbacks).Run();
        if (callbacks.itemInHand)
            callbacks.itemInHand(report.path, report.type);
        bool skipped = false;
        for (const Failure& failure : report.failures) {
            skipped = skipped || failure.step == FailedStep::ChangedSince;
            if (callbacks.failure)
                callbacks.failure(failure);
        }
        if (skipped)
            ++outcome.skipped;
        else if (!report.failures.empty())
            ++outcome.failed;
        else
            ++outcome.restored;
        if (callbacks.itemDone)
            callbacks.itemDone(report);
    }
    return outcome;
}

} // namespace stampwell::engine

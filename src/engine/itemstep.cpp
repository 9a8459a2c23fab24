#include "engine/itemstep.h"

namespace stampwell::engine {

namespace {

using platform::ItemKind;
using platform::ItemState;
using platform::SysError;

bool IsWanted(const AttributeOperation& operation) {
    return operation.action != AttributeAction::None && operation.Bits() != 0;
}

// Whether a time operation reads or writes the creation time.
bool TouchesCreated(const TimeOperation& operation) {
    using Type = TimeOperation::Type;
    return operation.type != Type::None &&
           (operation.target == TimeKind::Created ||
            (operation.type == Type::Copy && operation.source == TimeKind::Created));
}

bool IsSameItem(const ItemFound& found, const ItemState& now) {
    if (found.identity && !(*found.identity == now.identity))
        return false;
    if (found.type == platform::ItemType::Folder)
        return now.kind == ItemKind::Folder;
    if (found.link)
        return now.kind == ItemKind::Link;
    return now.kind == ItemKind::File || now.kind == ItemKind::Other;
}

constexpr std::uint32_t kUserBits = kAttrArchive | kAttrReadOnly | kAttrSystem | kAttrHidden;

class Step {
public:
    Step(const platform::OpenFolder& folder, const std::string& name, ItemReport& report,
         const ItemChanges& changes)
        : folder_(folder), name_(name), report_(report), changes_(changes) {}

    void Run(const ItemFound& found) {
        const bool attributes = IsWanted(changes_.attributes);
        const bool created = TouchesCreated(changes_.times);
        ItemState before;
        if (found.before != nullptr) {
            if (found.beforeError.Failed())
                return Fail(FailedStep::ReadTimes, found.beforeError);
            before = *found.before;
        } else if (SysError error = platform::ReadItemState(folder_, name_, report_.type,
                                                            attributes, before, created);
                   error.Failed()) {
            return Fail(FailedStep::ReadTimes, std::move(error));
        }
        if (!IsSameItem(found, before))
            return Fail(FailedStep::Replaced, {});
        report_.before = before;
        if (attributes) {
            report_.attributes.before = before.attributes;
            report_.attributes.after = PlanAttributes(before.attributes, changes_.attributes);
        }
        if (changes_.times.type != TimeOperation::Type::None) {
            report_.times.before = before.times;
            if (auto failure = PlanTimes(changes_.times, before.times, report_.times.update)) {
                failure->item = report_.path;
                report_.failures.push_back(std::move(*failure));
            }
        }
        const bool newWord =
            ((report_.attributes.before ^ report_.attributes.after) & kUserBits) != 0;
        const TimeKindSet kinds = KindsOf(report_.times.update);
        if ((!newWord && kinds == 0) || changes_.dryRun)
            return;
        if (changes_.beforeWrite) {
            if (SysError error = changes_.beforeWrite(report_); error.Failed())
                return Fail(FailedStep::Journal, std::move(error));
        }
        SysError wordError;
        SysError timesError;
        if (changes_.timesFirst && kinds != 0)
            timesError = WriteTimes();
        if (newWord)
            wordError = platform::WriteAttributesAt(folder_, name_, report_.type,
                                                    report_.attributes.after & ~kAttrDirectory);
        if (!changes_.timesFirst && kinds != 0)
            timesError = WriteTimes();
        ItemState kept;
        if (SysError error =
                platform::ReadItemState(folder_, name_, report_.type, newWord, kept, created);
            error.Failed())
            return Fail(FailedStep::ReadTimes, std::move(error), 0, kinds);
        if (kinds != 0)
            CheckTimes(before, kept, std::move(timesError));
        if (newWord)
            CheckAttributes(kept, std::move(wordError));
    }

private:
    void Fail(FailedStep step, SysError reason, std::uint32_t bits = 0, TimeKindSet kinds = 0) {
        report_.failures.push_back(Failure{report_.path, step, std::move(reason), bits, kinds});
    }

    SysError WriteTimes() {
        return platform::WriteItemTimesAt(folder_, name_, report_.type, report_.times.update);
    }

    // A time the item did not keep (refused, clamped, rounded) puts every
    // kind the step changed back to its value from before.
    void CheckTimes(const ItemState& before, const ItemState& kept, SysError writeError) {
        const TimesUpdate& update = report_.times.update;
        TimeKindSet lost = 0;
        TimesUpdate restore;
        for (const TimeKind kind : {TimeKind::Created, TimeKind::Modified, TimeKind::Accessed}) {
            const std::optional<FileTime> wanted = TimeOf(update, kind);
            if (!wanted)
                continue;
            const std::optional<FileTime> now = TimeOf(kept.times, kind);
            if (now != wanted)
                lost |= KindBit(kind);
            const std::optional<FileTime> old = TimeOf(before.times, kind);
            if (now != old && old)
                SetTimeOf(restore, kind, *old);
        }
        if (!writeError.Failed() && lost == 0)
            return;
        if (writeError.Failed())
            Fail(FailedStep::WriteTimes, std::move(writeError), 0, KindsOf(update));
        else
            Fail(FailedStep::TimesNotKept, {}, 0, lost);
        if (KindsOf(restore) == 0)
            return;
        if (SysError error = platform::WriteItemTimesAt(folder_, name_, report_.type, restore);
            error.Failed())
            Fail(FailedStep::RestoreTimes, std::move(error), 0, KindsOf(restore));
    }

    // The word as a whole was refused or not kept: each bit is tried on its
    // own, so that one the item cannot keep does not hold back the others.
    void CheckAttributes(const ItemState& kept, SysError wordError) {
        const std::uint32_t wanted = report_.attributes.after;
        const std::uint32_t concerned = changes_.attributes.Bits();
        std::uint32_t now = kept.attributes;
        if (!wordError.Failed() && ((now ^ wanted) & concerned) == 0)
            return;
        std::uint32_t failed = 0;
        SysError reason = std::move(wordError);
        for (const std::uint32_t bit : kAttributeOrder) {
            if ((concerned & bit) == 0 || ((now ^ wanted) & bit) == 0)
                continue;
            const std::uint32_t word = (now & ~bit) | (wanted & bit);
            SysError error =
                platform::WriteAttributesAt(folder_, name_, report_.type, word & ~kAttrDirectory);
            ItemState again;
            if (!error.Failed())
                error = platform::ReadItemState(folder_, name_, report_.type, true, again);
            if (!error.Failed() && ((again.attributes ^ wanted) & bit) == 0) {
                now = again.attributes;
                continue;
            }
            failed |= bit;
            if (error.Failed())
                reason = std::move(error);
        }
        if (failed != 0)
            Fail(reason.Failed() ? FailedStep::WriteAttributes : FailedStep::AttributesNotKept,
                 std::move(reason), failed);
    }

    const platform::OpenFolder& folder_;
    const std::string& name_;
    ItemReport& report_;
    const ItemChanges& changes_;
};

} // namespace

ItemReport ChangeItem(const platform::OpenFolder& folder, const std::string& name, std::string path,
                      const ItemFound& found, const ItemChanges& changes) {
    ItemReport report;
    report.path = std::move(path);
    report.type = found.type;
    Step(folder, name, report, changes).Run(found);
    return report;
}

ItemReport ChangeItemAtPath(const std::string& path, bool followLink, const ItemChanges& changes) {
    platform::OpenFolder folder;
    std::string name;
    ItemState state;
    SysError error = platform::OpenFolder::OpenParent(path, followLink, folder, name);
    if (!error.Failed())
        error = platform::ReadItemState(folder, name, platform::ItemType::File,
                                        IsWanted(changes.attributes), state);
    if (error.Failed()) {
        ItemReport report;
        report.path = path;
        report.failures.push_back(Failure{path, FailedStep::ReadTimes, std::move(error), 0, 0});
        return report;
    }
    ItemFound found;
    found.link = state.kind == ItemKind::Link;
    found.type =
        state.kind == ItemKind::Folder ? platform::ItemType::Folder : platform::ItemType::File;
    found.before = &state;
    return ChangeItem(folder, name, path, found, changes);
}

} // namespace stampwell::engine

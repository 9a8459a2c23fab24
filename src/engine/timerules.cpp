#include "engine/timerules.h"

#include "engine/itemstep.h"

namespace stampwell::engine {

namespace {

// Puts `value` for `kind` into the update when it changes the item.
void Change(TimesUpdate& update, const ItemTimes& current, TimeKind kind, FileTime value) {
    if (TimeOf(current, kind) != value)
        SetTimeOf(update, kind, value);
}

// A value copied onto the creation time, in the 100 ns steps that every place
// keeping a settable creation time counts in (Windows, NTFS, the value Samba
// stores): a finer part, as Linux keeps in the other times, would not be kept.
FileTime Copied(TimeKind target, FileTime value) {
    if (target == TimeKind::Created)
        value.nanoseconds -= value.nanoseconds % 100;
    return value;
}

} // namespace

std::optional<Failure> PlanTimes(const TimeOperation& operation, const ItemTimes& current,
                                 TimesUpdate& update) {
    update = {};
    switch (operation.type) {
    case TimeOperation::Type::None:
        return std::nullopt;
    case TimeOperation::Type::Set:
        Change(update, current, operation.target, operation.newTime);
        return std::nullopt;
    case TimeOperation::Type::Copy:
        break;
    }
    const TimeKind target = operation.target;
    const TimeKind source = operation.source;
    if (target == source)
        return std::nullopt;
    // Copies of the values as read: an exchange takes the old value of each.
    const std::optional<FileTime> sourceValue = TimeOf(current, source);
    const std::optional<FileTime> targetValue = TimeOf(current, target);
    TimeKindSet unknown = 0;
    if (!sourceValue)
        unknown |= KindBit(source);
    if (operation.exchange && !targetValue)
        unknown |= KindBit(target);
    if (unknown != 0)
        return Failure{{}, FailedStep::TimeUnknown, {}, 0, unknown};
    Change(update, current, target, Copied(target, *sourceValue));
    if (operation.exchange)
        Change(update, current, source, Copied(source, *targetValue));
    return std::nullopt;
}

namespace {

std::optional<Failure> ApplyTimes(const std::string& path, const TimeOperation& operation,
                                  TimesChange& change) {
    ItemChanges changes;
    changes.times = operation;
    ItemReport report = ChangeItemAtPath(path, false, changes);
    change = report.times;
    if (report.failures.empty())
        return std::nullopt;
    return std::move(report.failures.front());
}

} // namespace

std::optional<Failure> ApplyFileTimes(const std::string& path, const TimeOperation& operation,
                                      TimesChange& change) {
    return ApplyTimes(path, operation, change);
}

std::optional<Failure> ApplyFolderTimes(const std::string& path, const TimeOperation& operation,
                                        TimesChange& change) {
    return ApplyTimes(path, operation, change);
}

} // namespace stampwell::engine

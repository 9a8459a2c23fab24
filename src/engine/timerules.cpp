#include "engine/timerules.h"

namespace stampwell::engine {

namespace {

// Puts `value` for `kind` into the update when it changes the item.
void Change(TimesUpdate& update, const ItemTimes& current, TimeKind kind, FileTime value) {
    if (TimeOf(current, kind) != value)
        SetTimeOf(update, kind, value);
}

// The kinds whose value on the item differs from the update's.
TimeKindSet Differences(const TimesUpdate& update, const ItemTimes& kept) {
    TimeKindSet lost = 0;
    for (const TimeKind kind : {TimeKind::Created, TimeKind::Modified, TimeKind::Accessed}) {
        const std::optional<FileTime> wanted = TimeOf(update, kind);
        if (wanted && TimeOf(kept, kind) != wanted)
            lost |= KindBit(kind);
    }
    return lost;
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
    Change(update, current, target, *sourceValue);
    if (operation.exchange)
        Change(update, current, source, *targetValue);
    return std::nullopt;
}

std::optional<Failure> PlanItemTimes(const std::string& path, ItemType type,
                                     const TimeOperation& operation, TimesChange& change) {
    change = {};
    if (operation.type == TimeOperation::Type::None)
        return std::nullopt;
    if (operation.type == TimeOperation::Type::Set) {
        SetTimeOf(change.update, operation.target, operation.newTime);
        return std::nullopt;
    }
    ItemTimes& before = change.before.emplace();
    if (auto error = platform::ReadItemTimes(path, type, before); error.Failed())
        return Failure{path, FailedStep::ReadTimes, std::move(error), 0, 0};
    auto failure = PlanTimes(operation, before, change.update);
    if (failure)
        failure->item = path;
    return failure;
}

std::optional<Failure> WriteTimesChecked(const std::string& path, ItemType type,
                                         const TimesUpdate& update) {
    const TimeKindSet kinds = KindsOf(update);
    if (kinds == 0)
        return std::nullopt;
    if (auto error = platform::WriteItemTimes(path, type, update); error.Failed())
        return Failure{path, FailedStep::WriteTimes, std::move(error), 0, kinds};
    ItemTimes kept;
    if (auto error = platform::ReadItemTimes(path, type, kept); error.Failed())
        return Failure{path, FailedStep::ReadTimes, std::move(error), 0, kinds};
    if (const TimeKindSet lost = Differences(update, kept); lost != 0)
        return Failure{path, FailedStep::TimesNotKept, {}, 0, lost};
    return std::nullopt;
}

std::optional<Failure> ApplyFileTimes(const std::string& path, const TimeOperation& operation,
                                      TimesChange& change) {
    if (auto failure = PlanItemTimes(path, ItemType::File, operation, change))
        return failure;
    return WriteTimesChecked(path, ItemType::File, change.update);
}

std::optional<Failure> ApplyFolderTimes(const std::string& path, const TimeOperation& operation,
                                        TimesChange& change) {
    if (auto failure = PlanItemTimes(path, ItemType::Folder, operation, change))
        return failure;
    return WriteTimesChecked(path, ItemType::Folder, change.update);
}

} // namespace stampwell::engine

#include "engine/modFileTime.h"

namespace stampwell::engine {

std::optional<FileTime> TimeOf(const ItemTimes& times, TimeKind kind) {
    switch (kind) {
    case TimeKind::Created:
        return times.created;
    case TimeKind::Modified:
        return times.modified;
    case TimeKind::Accessed:
        return times.accessed;
    }
    return std::nullopt;
}

std::optional<FileTime> TimeOf(const TimesUpdate& update, TimeKind kind) {
    switch (kind) {
    case TimeKind::Created:
        return update.created;
    case TimeKind::Modified:
        return update.modified;
    case TimeKind::Accessed:
        return update.accessed;
    }
    return std::nullopt;
}

void SetTimeOf(TimesUpdate& update, TimeKind kind, FileTime value) {
    switch (kind) {
    case TimeKind::Created:
        update.created = value;
        break;
    case TimeKind::Modified:
        update.modified = value;
        break;
    case TimeKind::Accessed:
        update.accessed = value;
        break;
    }
}

TimeKindSet KindsOf(const TimesUpdate& update) {
    TimeKindSet kinds = 0;
    if (update.created)
        kinds |= KindBit(TimeKind::Created);
    if (update.modified)
        kinds |= KindBit(TimeKind::Modified);
    if (update.accessed)
        kinds |= KindBit(TimeKind::Accessed);
    return kinds;
}

platform::SysError GetFileTimes(const std::string& path, ItemTimes& times) {
    return platform::ReadItemTimes(path, ItemType::File, times);
}

platform::SysError SetFileTimes(const std::string& path, const TimesUpdate& update) {
    return platform::WriteItemTimes(path, ItemType::File, update);
}

platform::SysError GetFolderTimes(const std::string& path, ItemTimes& times) {
    return platform::ReadItemTimes(path, ItemType::Folder, times);
}

platform::SysError SetFolderTimes(const std::string& path, const TimesUpdate& update) {
    return platform::WriteItemTimes(path, ItemType::Folder, update);
}

} // namespace stampwell::engine

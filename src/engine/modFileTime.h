#pragma once

#include "engine/failure.h"
#include "platform/itemtimes.h"

#include <optional>
#include <string>

// The three times of one file or folder, exact and in UTC. What the program
// reads and writes is a value (platform::ItemTimes, platform::TimesUpdate)
// that each caller owns, never shared state: a kind left out of an update
// keeps its exact value on the item.
namespace stampwell::engine {

using platform::FileTime;
using platform::ItemTimes;
using platform::ItemType;
using platform::TimesUpdate;

// The value of one kind; nothing for a creation time the file system keeps none of.
std::optional<FileTime> TimeOf(const ItemTimes& times, TimeKind kind);

// The value an update gives one kind; nothing when the update leaves it alone.
std::optional<FileTime> TimeOf(const TimesUpdate& update, TimeKind kind);

// Puts one kind's new value into an update.
void SetTimeOf(TimesUpdate& update, TimeKind kind, FileTime value);

// The kinds an update changes.
TimeKindSet KindsOf(const TimesUpdate& update);

platform::SysError GetFileTimes(const std::string& path, ItemTimes& times);
platform::SysError SetFileTimes(const std::string& path, const TimesUpdate& update);
platform::SysError GetFolderTimes(const std::string& path, ItemTimes& times);
platform::SysError SetFolderTimes(const std::string& path, const TimesUpdate& update);

} // namespace stampwell::engine

#pragma once

#include "engine/modFileTime.h"
#include "testing/tempfolder.h"

#include <string>

namespace stampwell::test {

// Reads an item's times; fails the test when they cannot be read.
engine::ItemTimes TimesOf(const std::string& path, engine::ItemType type);

// Sets modified and accessed to distinct values with sub-second parts
// (base + 0.123456700 s, base + 1000 s + 0.765432100 s).
void SetDistinctTimes(const std::string& path, engine::ItemType type, std::int64_t base);

// Whether this file system keeps a creation time that a program sets (NTFS on
// Windows does; Linux file systems other than NTFS, and Wine, do not).
bool CreationTimeSettable(const std::string& folder);

} // namespace stampwell::test

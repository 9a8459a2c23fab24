#pragma once

#include "platform/filetime.h"

#include <optional>
#include <string>

namespace stampwell::cli {

// Reads "YYYY-MM-DD HH:MM:SS[.fraction]" as local time (with the zone's rules
// at that date), or with a trailing "Z" or "+HH:MM" / "-HH:MM" for an explicit
// offset. The year has four digits, or five from 10000 on; the fraction has
// up to nine digits. A date that does not exist or that no file system can
// store (support::IsStorableDateTime, as typed), a local time skipped by a
// clock change, or any other text gives nothing, and `why` says what is wrong.
std::optional<platform::FileTime> ParseDateTime(const std::string& text, std::string& why);

} // namespace stampwell::cli

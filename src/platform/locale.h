#pragma once

#include <string>

namespace stampwell::platform {

// The user's short-date pattern with Windows' letters ('d' day, 'M' month,
// 'y' year, anything else literal; "dd.MM.yyyy", "M/d/yyyy"). "" where the
// locale has no date form of its own (the C or POSIX locale).
std::string ShortDatePattern();

} // namespace stampwell::platform

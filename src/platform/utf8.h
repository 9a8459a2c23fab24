#pragma once

#include <string>

namespace stampwell::platform {

// Appends one code point (at most U+10FFFF) to out as UTF-8.
void AppendUtf8(char32_t code, std::string& out);

} // namespace stampwell::platform

#pragma once

#include <string>
#include <string_view>

// Text files of ours are UTF-8; older ones were written in the Windows ANSI
// code page 1252 and keep their umlauts when read.
namespace stampwell::app {

bool IsValidUtf8(std::string_view bytes);

// Every byte as its Windows-1252 character, in UTF-8. The five bytes 1252
// leaves undefined become the control characters of the same number, as
// Windows itself converts them, so nothing is lost.
std::string Windows1252ToUtf8(std::string_view bytes);

// The bytes unchanged when they are valid UTF-8, else read as Windows-1252.
std::string DecodeText(std::string_view bytes);

} // namespace stampwell::app

#pragma once

#include <string>
#include <string_view>

// Text crosses into the wide-character API here. Inside the program text and
// paths are UTF-8; Windows names may hold unpaired surrogates, which travel as
// WTF-8 (the same encoding applied to lone surrogates) so every name survives
// the round trip.
namespace stampwell::platform::win32 {

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

// The wide form of a path for the file API: '/' becomes '\', and an absolute
// path long enough to hit the 260-character limit gets the \\?\ prefix
// (\\?\UNC\ for \\server\share paths).
std::wstring WidePath(std::string_view path);

} // namespace stampwell::platform::win32

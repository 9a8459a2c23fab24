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

// The wide form of a path for the file API: '/' becomes '\'. A path that is
// (or, relative to the current folder, would become) long enough to hit the
// 260-character limit is made absolute as the system would do it ("." and
// ".." resolved) and gets the extended prefix: \\?\C:\... for drive paths,
// \\?\UNC\server\share\... for network paths.
std::wstring WidePath(std::string_view path);

} // namespace stampwell::platform::win32

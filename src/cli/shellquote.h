#pragma once

#include <string>
#include <string_view>

namespace stampwell::cli {

// A path as one shell word that names it exactly, after GNU ls's
// shell-escape quoting, so that one printed line is always one item. A path
// of letters, digits, the separator and the harmless marks `%+,-.:@]_{}` (and
// `#` or `~` after the start) is printed as it is, as is any other printable
// UTF-8 text in it. Any other path goes in single quotes; in it a single
// quote is written \', and control characters ($'\n', $'\033') and bytes
// that are not UTF-8 ($'\377') are written as escapes.
std::string ShellQuoted(std::string_view path);

} // namespace stampwell::cli

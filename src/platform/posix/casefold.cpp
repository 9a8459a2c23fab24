#include "platform/wildcard.h"

#include <locale.h>
#include <wctype.h>

namespace stampwell::platform {

// lower(upper(c)) from the C.UTF-8 tables.
char32_t FoldCharacter(char32_t c) {
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (unicode == locale_t{})
        return c;
    return static_cast<char32_t>(towlower_l(towupper_l(static_cast<wint_t>(c), unicode), unicode));
}

} // namespace stampwell::platform

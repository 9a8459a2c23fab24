#include "platform/locale.h"

#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <string_view>

namespace stampwell::platform {

namespace {

// The locale name LC_TIME resolves to from the environment, as setlocale(LC_TIME, "") would.
std::string_view TimeLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"})
        if (const char* value = std::getenv(variable); value != nullptr && value[0] != '\0')
            return value;
    return "C";
}

bool IsPlainLocale(std::string_view name) {
    return name == "C" || name == "POSIX" || name.starts_with("C.");
}

// strftime's conversions as Windows pattern letters.
std::string FromStrftime(std::string_view format) {
    std::string pattern;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            pattern += format[i];
            continue;
        }
        char conversion = format[++i];
        // Modifiers (%Ey, %Od) and padding flags (%-d, %_m) change nothing here.
        while ((conversion == 'E' || conversion == 'O' || conversion == '-' || conversion == '_' ||
                conversion == '0' || conversion == '^' || conversion == '#') &&
               i + 1 < format.size())
            conversion = format[++i];
        switch (conversion) {
        case 'd':
        case 'e':
            pattern += "dd";
            break;
        case 'm':
            pattern += "MM";
            break;
        case 'Y':
        case 'C':
            pattern += "yyyy";
            break;
        case 'y':
            pattern += "yy";
            break;
        case 'D':
            pattern += "MM/dd/yy";
            break;
        case 'F':
            pattern += "yyyy-MM-dd";
            break;
        case '%':
            pattern += '%';
            break;
        default:
            break;
        }
    }
    return pattern;
}

} // namespace

std::string ShortDatePattern() {
    const std::string_view name = TimeLocaleName();
    if (IsPlainLocale(name))
        return {};
    const locale_t locale = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return {};
    const std::string pattern = FromStrftime(::nl_langinfo_l(D_FMT, locale));
    ::freelocale(locale);
    return pattern;
}

} // namespace stampwell::platform

#include "updater/update_texts.h"

#include <windows.h>

namespace stampupdate {

std::u16string LowerCase(const std::u16string& text) {
    if (text.empty()) {
        return text;
    }
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    const int count = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, source, size, nullptr,
                                    0, nullptr, nullptr, 0);
    std::u16string lower(static_cast<std::size_t>(count), u'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, source, size,
                  reinterpret_cast<wchar_t*>(lower.data()), count, nullptr, nullptr, 0);
    return count > 0 ? lower : text;
}

} // namespace stampupdate

#include "updater/update_texts.h"

#include <locale.h>
#include <wctype.h>

namespace stampupdate {

// Code point by code point through the C.UTF-8 tables; a lone surrogate stays.
std::u16string LowerCase(const std::u16string& text) {
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    std::u16string lower;
    lower.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        const char32_t mapped =
            unicode == nullptr ? c
                               : static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), unicode));
        if (mapped >= 0x10000) {
            lower += static_cast<char16_t>(0xD800 + ((mapped - 0x10000) >> 10));
            lower += static_cast<char16_t>(0xDC00 + ((mapped - 0x10000) & 0x3FF));
        } else {
            lower += static_cast<char16_t>(mapped);
        }
    }
    return lower;
}

} // namespace stampupdate

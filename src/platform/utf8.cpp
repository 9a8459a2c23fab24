#include "platform/utf8.h"

namespace stampwell::platform {

void AppendUtf8(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
        return;
    }
    const int extra = code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    out += static_cast<char>(((0xFF << (7 - extra)) & 0xFF) | (code >> (6 * extra)));
    for (int k = extra - 1; k >= 0; --k)
        out += static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F));
}

} // namespace stampwell::platform

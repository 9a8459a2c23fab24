#include "app/textcodec.h"

#include "scratch.h"

#include <string_view>

using namespace stampwell::app;
using stampwell::fuzz::Expect;

// Decoded text is always UTF-8; valid UTF-8 passes unchanged, and every byte
// read as Windows-1252 becomes one character of one to three bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool valid = IsValidUtf8(bytes);
    const std::string decoded = DecodeText(bytes);
    Expect(IsValidUtf8(decoded));
    if (valid)
        Expect(decoded == bytes);
    const std::string converted = Windows1252ToUtf8(bytes);
    Expect(IsValidUtf8(converted));
    Expect(converted.size() >= size && converted.size() <= 3 * size);
    return 0;
}

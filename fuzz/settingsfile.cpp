#include "app/ini.h"
#include "app/textcodec.h"
#include "scratch.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace stampwell::app;
using stampwell::fuzz::Expect;

// A settings text with a section, a key and a value to look up and set: after
// a set, the key reads back as the value, and a second set changes nothing else.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(32);
    const std::string key = input.ConsumeRandomLengthString(32);
    const std::string value = input.ConsumeRandomLengthString(64);
    const std::string text = DecodeText(input.ConsumeRemainingBytesAsString());

    if (const auto found = FindIniValue(text, section, key))
        Expect(IsValidUtf8(*found));
    if (!IsStorableIniText(section, key, value))
        return 0;
    const std::string once = SetIniValue(text, section, key, value);
    // Blanks around a value and a pair of quotes are not part of it when read.
    const bool readsAsWritten = value.find_first_of(" \t\"'") == std::string::npos;
    if (readsAsWritten) {
        Expect(FindIniValue(once, section, key) == value);
        Expect(SetIniValue(once, section, key, value) == once);
    }
    return 0;
}

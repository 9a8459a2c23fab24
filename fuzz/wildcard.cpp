#include "platform/wildcard.h"

#include "scratch.h"

#include <algorithm>
#include <fuzzer/FuzzedDataProvider.h>

using namespace stampwell::platform;
using stampwell::fuzz::Expect;

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    return upper;
}

} // namespace

// A filter pattern and two names tested with one pattern object, as a search
// does: each result is the one-off match's, the pattern for every name takes
// every name, and ASCII capitals make no difference.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string pattern = input.ConsumeRandomLengthString(64);
    const std::string first = input.ConsumeRandomLengthString(64);
    const std::string second = input.ConsumeRemainingBytesAsString();

    WildcardPattern compiled(pattern);
    for (const std::string& name : {first, second}) {
        const bool matches = compiled.Matches(name);
        Expect(matches == WildcardMatch(pattern, name));
        if (compiled.MatchesEveryName())
            Expect(matches);
        if (IsAscii(pattern) && IsAscii(name))
            Expect(WildcardMatch(AsciiUpper(pattern), AsciiUpper(name)) == matches);
    }
    return 0;
}

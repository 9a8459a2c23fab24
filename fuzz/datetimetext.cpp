#include "support/datetimetext.h"

#include "scratch.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace stampwell::support;
using stampwell::fuzz::Expect;

// A short-date pattern as a locale gives it and a typed text in its form: what
// is read is a real date and time, and shown and read again it stays the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const DateTimeTextForm form = DateTimeTextFormOf(input.ConsumeRandomLengthString(16));
    const auto time = ParseDateTimeText(input.ConsumeRemainingBytesAsString(), form);
    if (!time)
        return 0;
    Expect(time->month >= 1 && time->month <= 12 && time->day >= 1 && time->day <= 31);
    Expect(time->hour <= 23 && time->minute <= 59 && time->second <= 59);
    const std::string shown = FormatDateTimeText(*time, form);
    Expect(shown.size() == 19);
    Expect(ParseDateTimeText(shown, form) == time);
    IsStorableDateTime(*time);
    return 0;
}

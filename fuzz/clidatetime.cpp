#include "cli/datetime.h"
#include "scratch.h"

#include <cstdlib>

using stampwell::fuzz::Expect;

// Local times need a zone with clock changes, so that the skipped hour is met.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Expect(setenv("TZ", "Europe/Berlin", 1) == 0);
    return 0;
}

// The CLI's date-time argument: read or refused with a reason.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto time = stampwell::cli::ParseDateTime(text, why);
    if (time)
        Expect(time->nanoseconds < 1'000'000'000);
    else
        Expect(!why.empty());
    return 0;
}

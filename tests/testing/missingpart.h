#pragma once

#include <cstdlib>
#include <gtest/gtest.h>
#include <string_view>

// A test that needs a real part the machine may lack (an NTFS volume, a file
// system it must mount) skips without it and says why. Where every part must be
// exercised (STAMPWELL_REQUIRE_ALL=1, as CI sets it) the lack fails the test.
namespace stampwell::testing {

inline bool EveryPartRequired() {
    const char* value = std::getenv("STAMPWELL_REQUIRE_ALL");
    return value != nullptr && std::string_view(value) == "1";
}

} // namespace stampwell::testing

// Ends the test (or its SetUp) for a missing part: skipped, or failed where
// every part is required.
#define STAMPWELL_MISSING_PART(why)                                                                \
    do {                                                                                           \
        if (::stampwell::testing::EveryPartRequired())                                             \
            GTEST_FAIL() << "a required part is missing (STAMPWELL_REQUIRE_ALL=1): " << (why);     \
        else                                                                                       \
            GTEST_SKIP() << (why);                                                                 \
    } while (false)

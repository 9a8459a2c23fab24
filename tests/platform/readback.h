#pragma once

#include "platform/attributes.h"
#include "platform/itemtimes.h"

#include <gtest/gtest.h>
#include <string>

namespace stampwell::testing {

// What an item holds now, read back through the code under test; a read
// that fails fails the test.
inline std::uint32_t Word(const std::string& path) {
    std::uint32_t word = 0;
    const platform::SysError error = platform::ReadAttributes(path, word);
    EXPECT_FALSE(error.Failed()) << path << ": " << error.text;
    return word;
}

inline platform::ItemTimes Times(const std::string& path,
                                 platform::ItemType type = platform::ItemType::File) {
    platform::ItemTimes times;
    const platform::SysError error = platform::ReadItemTimes(path, type, times);
    EXPECT_FALSE(error.Failed()) << path << ": " << error.text;
    return times;
}

} // namespace stampwell::testing

#include "engine/filepool.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace stampwell::engine {
namespace {

using namespace std::chrono_literals;

// When stop() turns true: as item `stopAt` is handed on, while the other
// thread is in the middle of one (the calling thread pausing there with
// `pause`, so that the other goes on); or as item `stopAt` starts, on either
// thread.
struct Case {
    std::size_t count, window, stopAt;
    bool atDelivery, pause;
};

class WorkInOrderCase : public ::testing::TestWithParam<Case> {};

// Every item is prepared on the calling thread before it is worked on,
// worked once, and delivered in order on the calling thread when it is done;
// the window is never overrun; a stop starts no new item and delivers
// exactly those started.
TEST_P(WorkInOrderCase, KeepsOrderWindowAndStop) {
    const Case c = GetParam();
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<std::size_t> prepared{0};
    std::vector<std::atomic<int>> worked(c.count);
    std::vector<std::size_t> delivered;
    std::atomic<bool> stopped{false};
    std::atomic<int> startedAfterStop{0}, faults{0};
    const std::size_t done = WorkInOrder(
        c.count, c.window,
        [&](std::size_t begin, std::size_t end) {
            faults += std::this_thread::get_id() != caller || begin != prepared.load() ||
                      end <= begin || end > delivered.size() + c.window;
            prepared.store(end);
        },
        [&](std::size_t i) {
            faults += i >= prepared.load();
            startedAfterStop += stopped.load();
            if (!c.atDelivery && i == c.stopAt)
                stopped.store(true);
            std::this_thread::sleep_for(c.pause ? 20us : 300us);
            ++worked[i];
        },
        [&](std::size_t i) {
            faults += std::this_thread::get_id() != caller || worked[i].load() != 1;
            delivered.push_back(i);
            if (c.atDelivery && i == c.stopAt) {
                stopped.store(true);
                if (c.pause)
                    std::this_thread::sleep_for(2ms);
            }
        },
        [&] { return stopped.load(); });
    EXPECT_EQ(faults.load(), 0);
    ASSERT_EQ(delivered.size(), done);
    EXPECT_GE(done, std::min(c.count, c.stopAt + 1));
    // The other thread may have asked stop() just before it turned true.
    EXPECT_LE(startedAfterStop.load(), 1);
    for (std::size_t i = 0; i < c.count; ++i)
        EXPECT_EQ(worked[i].load(), i < done ? 1 : 0) << i;
    for (std::size_t i = 0; i < done; ++i)
        EXPECT_EQ(delivered[i], i);
}

const Case kCases[] = {
    {0, 4, 100, true, true},      {1, 1, 100, true, true},        {5, 1, 100, true, true},
    {1000, 7, 10000, true, true}, {3000, 256, 10000, true, true}, {3000, 256, 0, true, true},
    {3000, 16, 500, true, true},  {200, 16, 30, true, false},     {200, 3, 0, true, false},
    {200, 16, 0, false, false},   {200, 16, 41, false, false}};

INSTANTIATE_TEST_SUITE_P(Lists, WorkInOrderCase, ::testing::ValuesIn(kCases));

} // namespace
} // namespace stampwell::engine

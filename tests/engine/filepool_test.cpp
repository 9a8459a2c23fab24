#include "engine/filepool.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace stampwell::engine {
namespace {

// When stop() turns true.
enum class Stop {
    Delivered,      // as item `stopAt` is handed on; the other thread is in the middle of one
    DeliveredPause, // the same, and the calling thread pauses there: the other one goes on
    Worked,         // as item `stopAt` starts, on either thread
};

struct Case {
    std::size_t count;
    std::size_t window;
    std::size_t stopAt;
    Stop stop;
};

class WorkInOrderCase : public ::testing::TestWithParam<Case> {};

// Every item is prepared before it is worked on, worked once, and delivered
// in order on the calling thread when it is done; the window is never
// overrun; a stop starts no new item and delivers exactly those started.
// Each item takes a little while, so that the other thread is in the middle
// of one when the calling thread hands on or stops.
TEST_P(WorkInOrderCase, KeepsOrderWindowAndStop) {
    const Case c = GetParam();
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<std::size_t> prepared{0};
    std::vector<std::atomic<int>> worked(c.count);
    std::vector<std::size_t> delivered;
    std::atomic<bool> stopped{false};
    std::atomic<int> startedAfterStop{0};
    std::vector<std::string> faults;
    std::mutex faultsMutex;
    auto fault = [&](std::string text) {
        const std::lock_guard lock(faultsMutex);
        faults.push_back(std::move(text));
    };
    const std::size_t done = WorkInOrder(
        c.count, c.window,
        [&](std::size_t begin, std::size_t end) {
            if (std::this_thread::get_id() != caller)
                fault("prepared on another thread");
            if (begin != prepared.load() || end <= begin)
                fault("prepared out of turn: " + std::to_string(begin));
            if (end > delivered.size() + c.window)
                fault("window overrun at " + std::to_string(end));
            prepared.store(end);
        },
        [&](std::size_t i) {
            if (i >= prepared.load())
                fault("worked before prepared: " + std::to_string(i));
            if (stopped.load())
                ++startedAfterStop;
            if (c.stop == Stop::Worked && i == c.stopAt)
                stopped.store(true);
            std::this_thread::sleep_for(
                std::chrono::microseconds(c.stop == Stop::DeliveredPause ? 20 : 300));
            ++worked[i];
        },
        [&](std::size_t i) {
            if (std::this_thread::get_id() != caller)
                fault("delivered on another thread");
            if (worked[i].load() != 1)
                fault("delivered, not worked once: " + std::to_string(i));
            delivered.push_back(i);
            if (c.stop != Stop::Worked && i == c.stopAt) {
                stopped.store(true);
                if (c.stop == Stop::DeliveredPause)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        },
        [&] { return stopped.load(); });
    EXPECT_EQ(faults, std::vector<std::string>{});
    ASSERT_EQ(delivered.size(), done);
    EXPECT_GE(done, std::min(c.count, c.stopAt + 1));
    // The other thread may have asked stop() just before it turned true.
    EXPECT_LE(startedAfterStop.load(), 1);
    for (std::size_t i = 0; i < c.count; ++i)
        EXPECT_EQ(worked[i].load(), i < done ? 1 : 0) << i;
    for (std::size_t i = 0; i < done; ++i)
        EXPECT_EQ(delivered[i], i);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, WorkInOrderCase,
    ::testing::Values(Case{0, 4, 100, Stop::DeliveredPause}, Case{1, 1, 100, Stop::DeliveredPause},
                      Case{5, 1, 100, Stop::DeliveredPause},
                      Case{1000, 7, 10000, Stop::DeliveredPause},
                      Case{3000, 256, 10000, Stop::DeliveredPause},
                      Case{3000, 256, 0, Stop::DeliveredPause},
                      Case{3000, 16, 500, Stop::DeliveredPause}, Case{200, 16, 30, Stop::Delivered},
                      Case{200, 3, 0, Stop::Delivered}, Case{200, 16, 0, Stop::Worked},
                      Case{200, 16, 41, Stop::Worked}));

// Both threads work at once: the first item waits until another one is done,
// which only the other thread can do meanwhile. The helper has gone to wait
// for work before there is any.
TEST(WorkInOrder, TwoThreadsWorkAtOnce) {
    std::atomic<bool> otherDone{false};
    bool met = false;
    WorkInOrder(
        64, 64,
        [](std::size_t begin, std::size_t) {
            if (begin == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        },
        [&](std::size_t i) {
            if (i != 0) {
                otherDone.store(true);
                return;
            }
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!otherDone.load() && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            met = otherDone.load();
        },
        [](std::size_t) {}, [] { return false; });
    EXPECT_TRUE(met);
}

} // namespace
} // namespace stampwell::engine

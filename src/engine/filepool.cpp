#include "engine/filepool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace stampwell::engine {

namespace {

// The batch both threads take items from.
class Batch {
public:
    Batch(const std::function<void(std::size_t)>& work, const std::function<bool()>& stop)
        : work_(work), stop_(stop) {}

    void Start(std::size_t begin, std::size_t end) {
        {
            const std::lock_guard lock(mutex_);
            next_.store(begin);
            end_ = end;
            helperBusy_ = true;
            ++generation_;
        }
        wake_.notify_all();
    }

    // Works on the batch on the calling thread, then waits for the helper.
    // Returns the end of what was done.
    std::size_t Finish() {
        Drain();
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return !helperBusy_; });
        return std::min(next_.load(), end_);
    }

    void HelperLoop() {
        std::uint64_t seen = 0;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return quit_ || generation_ != seen; });
                if (quit_)
                    return;
                seen = generation_;
            }
            Drain();
            {
                const std::lock_guard lock(mutex_);
                helperBusy_ = false;
            }
            done_.notify_all();
        }
    }

    void Quit() {
        {
            const std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
    }

private:
    void Drain() {
        while (!stop_()) {
            const std::size_t i = next_.fetch_add(1);
            if (i >= end_)
                return;
            work_(i);
        }
    }

    const std::function<void(std::size_t)>& work_;
    const std::function<bool()>& stop_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::atomic<std::size_t> next_{0};
    std::size_t end_ = 0;
    std::uint64_t generation_ = 0;
    bool helperBusy_ = false;
    bool quit_ = false;
};

} // namespace

std::size_t WorkInOrder(std::size_t count, std::size_t batchSize,
                        const std::function<void(std::size_t, std::size_t)>& prepare,
                        const std::function<void(std::size_t)>& work,
                        const std::function<void(std::size_t)>& deliver,
                        const std::function<bool()>& stop) {
    if (count == 0)
        return 0;
    Batch batch(work, stop);
    std::thread helper([&batch] { batch.HelperLoop(); });
    std::size_t done = 0;
    for (std::size_t begin = 0; begin < count; begin += batchSize) {
        const std::size_t end = std::min(count, begin + batchSize);
        if (stop())
            break;
        prepare(begin, end);
        batch.Start(begin, end);
        const std::size_t finished = batch.Finish();
        for (std::size_t i = begin; i < finished; ++i)
            deliver(i);
        done = finished;
        if (finished < end)
            break;
    }
    batch.Quit();
    helper.join();
    return done;
}

} // namespace stampwell::engine

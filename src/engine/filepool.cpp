#include "engine/filepool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

namespace stampwell::engine {

namespace {

// How many items the calling thread prepares before it lets the helper know:
// the helper starts on the first ones while the rest are prepared.
constexpr std::size_t kPrepareStep = 16;

// The claim counter once no item may be claimed any more.
constexpr std::size_t kClosed = std::numeric_limits<std::size_t>::max();

// What the two threads share. Items are claimed one by one from a counter,
// so those claimed are always the first ones of the list. A thread waits
// only when it has nothing to do: the helper when every prepared item is
// claimed, the calling thread when the oldest item not delivered is still in
// the helper's hands and the window is full. A thread about to wait says so
// first and is woken only then: items pass from thread to thread without a
// system call.
class Pipeline {
public:
    Pipeline(std::size_t window, const std::function<void(std::size_t)>& work,
             const std::function<bool()>& stop)
        : window_(window), done_(std::make_unique<std::atomic<bool>[]>(window)), work_(work),
          stop_(stop) {}

    // Claims the next prepared item and works on it; false when there is
    // none, or when stop() says that no new item is to start.
    bool WorkOne() {
        std::size_t item = claimed_.load();
        do {
            if (item >= prepared_.load() || stop_())
                return false;
        } while (!claimed_.compare_exchange_weak(item, item + 1));
        work_(item);
        done_[item % window_].store(true);
        if (callerWaits_.load())
            Wake(callerWake_);
        return true;
    }

    // The calling thread: items before `end` may be claimed.
    void Publish(std::size_t end) {
        prepared_.store(end);
        if (helperWaits_.load())
            Wake(helperWake_);
    }

    std::size_t Claimed() const { return claimed_.load(); }

    // The calling thread: true (and the slot free again) when item `item`
    // is done.
    bool TakeDone(std::size_t item) {
        std::atomic<bool>& done = done_[item % window_];
        if (!done.load())
            return false;
        done.store(false);
        return true;
    }

    // The calling thread: waits until the claimed item `item` is done.
    void AwaitDone(std::size_t item) {
        if (TakeDone(item))
            return;
        std::unique_lock lock(mutex_);
        callerWaits_.store(true);
        callerWake_.wait(lock, [&] { return done_[item % window_].load(); });
        callerWaits_.store(false);
        lock.unlock();
        TakeDone(item);
    }

    // The calling thread: no item may be claimed from now on. Returns how
    // many were claimed.
    std::size_t Close() {
        const std::size_t claimed = claimed_.exchange(kClosed);
        Wake(helperWake_);
        return claimed;
    }

    void HelperLoop() {
        for (;;) {
            if (WorkOne())
                continue;
            std::unique_lock lock(mutex_);
            helperWaits_.store(true);
            helperWake_.wait(lock, [this] {
                const std::size_t claimed = claimed_.load();
                return claimed == kClosed || (claimed < prepared_.load() && !stop_());
            });
            helperWaits_.store(false);
            if (claimed_.load() == kClosed)
                return;
        }
    }

private:
    // Taking the lock makes sure that a thread between its last look and its
    // wait gets the notification.
    void Wake(std::condition_variable& wake) {
        { const std::lock_guard lock(mutex_); }
        wake.notify_one();
    }

    const std::size_t window_;
    const std::unique_ptr<std::atomic<bool>[]> done_; // per slot: its item is done
    const std::function<void(std::size_t)>& work_;
    const std::function<bool()>& stop_;
    std::atomic<std::size_t> prepared_{0};
    std::atomic<std::size_t> claimed_{0};
    std::mutex mutex_;
    std::condition_variable helperWake_;
    std::condition_variable callerWake_;
    std::atomic<bool> helperWaits_{false};
    std::atomic<bool> callerWaits_{false};
};

} // namespace

std::size_t WorkInOrder(std::size_t count, std::size_t window,
                        const std::function<void(std::size_t, std::size_t)>& prepare,
                        const std::function<void(std::size_t)>& work,
                        const std::function<void(std::size_t)>& deliver,
                        const std::function<bool()>& stop) {
    if (count == 0)
        return 0;
    Pipeline pipeline(window, work, stop);
    std::thread helper([&pipeline] { pipeline.HelperLoop(); });
    std::size_t prepared = 0;
    std::size_t delivered = 0;
    while (delivered < count && !stop()) {
        const std::size_t limit = std::min(count, delivered + window);
        while (prepared < limit) {
            const std::size_t end = std::min(limit, prepared + kPrepareStep);
            prepare(prepared, end);
            prepared = end;
            pipeline.Publish(prepared);
        }
        while (delivered < prepared && pipeline.TakeDone(delivered))
            deliver(delivered++);
        if (delivered == count || pipeline.WorkOne())
            continue;
        // Nothing left to claim: the helper has the oldest item.
        if (delivered < pipeline.Claimed()) {
            pipeline.AwaitDone(delivered);
            deliver(delivered++);
        }
    }
    const std::size_t done = pipeline.Close();
    for (; delivered < done; ++delivered) {
        pipeline.AwaitDone(delivered);
        deliver(delivered);
    }
    helper.join();
    return done;
}

} // namespace stampwell::engine

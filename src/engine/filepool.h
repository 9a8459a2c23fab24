#pragma once

#include <cstddef>
#include <functional>

namespace stampwell::engine {

// Works off a list on two threads while its results are handed on in list
// order on the calling thread: `prepare(begin, end)` runs on the calling
// thread before each batch, `work(i)` for the items of the batch on either
// thread, and after each batch `deliver(i)` for each item done, first to last. Before each item it
// asks `stop()`; once that is true no new item is started, those started are finished and
// delivered. Returns how many items were done (always the first ones of the list).
std::size_t WorkInOrder(std::size_t count, std::size_t batchSize,
                        const std::function<void(std::size_t, std::size_t)>& prepare,
                        const std::function<void(std::size_t)>& work,
                        const std::function<void(std::size_t)>& deliver,
                        const std::function<bool()>& stop);

} // namespace stampwell::engine

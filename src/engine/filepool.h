#pragma once

#include <cstddef>
#include <functional>

namespace stampwell::engine {

// Works off a list on the calling thread and one helper while its results are
// handed on in list order on the calling thread. Nothing waits for a batch to
// end: both threads take the next item as soon as they are free, and the
// calling thread opens the way ahead and hands on what is done in between.
//
// - `prepare(begin, end)` runs on the calling thread, for consecutive ranges,
//   before any item of the range is worked on;
// - `work(i)` runs once for each item, on either thread (both at once);
// - `deliver(i)` runs on the calling thread for each item done, first to last.
//
// At most `window` (one or more) items are prepared and not yet delivered:
// item i is delivered before item i + window is prepared, so the two can
// share the scratch slot i % window. Before each item it asks `stop()`; once
// that is true no new item is started, those started are finished and
// delivered. Returns how many items were done (always the first ones of the
// list).
std::size_t WorkInOrder(std::size_t count, std::size_t window,
                        const std::function<void(std::size_t, std::size_t)>& prepare,
                        const std::function<void(std::size_t)>& work,
                        const std::function<void(std::size_t)>& deliver,
                        const std::function<bool()>& stop);

} // namespace stampwell::engine

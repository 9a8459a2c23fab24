#include "engine/runflags.h"

namespace stampwell::engine {

std::atomic<bool> CancelRun{false};
std::atomic<bool> StopSearch{false};

void RequestCancel() {
    CancelRun.store(true);
    StopSearch.store(true);
}

void ClearCancel() {
    CancelRun.store(false);
    StopSearch.store(false);
}

} // namespace stampwell::engine

#pragma once

#include <atomic>

namespace stampwell::engine {

// Set by a front end's cancel action (the cancel button, Ctrl-C); a front end
// clears both before it starts a run. The run and the search look at them at
// their next check, so the engine may run on a worker thread while another
// thread sets them.
extern std::atomic<bool> CancelRun;
// Only the search looks at this one.
extern std::atomic<bool> StopSearch;

// Both flags set, as the cancel action does.
void RequestCancel();

// Both flags cleared, as a front end does before it starts a run.
void ClearCancel();

} // namespace stampwell::engine

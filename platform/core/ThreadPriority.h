#pragma once
// Thread priorities as the framework names them, and their Linux form.
namespace orvane {

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Sets the nice value of thread tid (0: nothing). Linux keeps one per thread;
// raising it above what the process may is refused without privileges, so
// the priority is a wish.
void ApplyThreadPriority(int tid, TThreadPriority p);

} // namespace orvane

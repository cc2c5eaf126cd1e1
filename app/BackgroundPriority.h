// The helper threads of a run (the capture's reader, the heap warmer) share the second core, and
// the main thread, which gathers the statistics, must not wait for them.
#pragma once

namespace app
{

enum class Background
{
    // Runs whenever it is ready, but its wake-ups never preempt the thread that woke it.
    Batch,
    // Runs only on a core that nothing else wants.
    Idle,
};

// Lowers the calling thread's scheduling class; where the system refuses, the thread stays as it was.
void LowerCurrentThread(Background priority);

} // namespace app

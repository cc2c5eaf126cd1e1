// Helper threads (the logger's chunk supply, the application's capture reader and heap warmer) share
// the cores with the UI thread, which handles every item and must not wait for them.
#pragma once

namespace background
{

enum class Priority
{
    // Runs whenever a core is free, but its wake-ups never preempt the thread that woke it, and on a
    // core shared with the UI thread it takes a small share (the weakest weight a thread can have).
    Batch,
    // Runs only on a core that nothing else wants.
    Idle,
};

// Lowers the calling thread's scheduling class; where the system refuses, the thread stays as it was.
void LowerCurrentThread(Priority priority);

} // namespace background

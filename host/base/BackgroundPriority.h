// Helper threads (the logger's chunk supply, the application's capture reader and heap warmer) share
// the cores with the UI thread, which handles every item and must not wait for them.
#pragma once

namespace background
{

enum class Priority
{
    // Runs whenever it is ready, but its wake-ups never preempt the thread that woke it.
    Batch,
    // Runs only on a core that nothing else wants.
    Idle,
};

// Lowers the calling thread's scheduling class; where the system refuses, the thread stays as it was.
void LowerCurrentThread(Priority priority);

} // namespace background

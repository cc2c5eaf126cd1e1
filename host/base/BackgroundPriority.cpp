#include "host/base/BackgroundPriority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

namespace background
{

namespace
{
constexpr int kWeakest = 19;
}

void LowerCurrentThread(Priority priority)
{
    const sched_param param{};
    pthread_setschedparam(pthread_self(), priority == Priority::Idle ? SCHED_IDLE : SCHED_BATCH, &param);
    // On Linux a thread's nice value is its own: this lowers the calling thread only.
    if (priority == Priority::Batch)
        setpriority(PRIO_PROCESS, 0, kWeakest);
}

} // namespace background

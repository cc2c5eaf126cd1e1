#include "host/base/BackgroundPriority.h"

#include <pthread.h>
#include <sched.h>

namespace background
{

void LowerCurrentThread(Priority priority)
{
    const sched_param param{};
    pthread_setschedparam(pthread_self(), priority == Priority::Idle ? SCHED_IDLE : SCHED_BATCH, &param);
}

} // namespace background

#include "app/BackgroundPriority.h"

#include <pthread.h>
#include <sched.h>

namespace app
{

void LowerCurrentThread(Background priority)
{
    const sched_param param{};
    pthread_setschedparam(pthread_self(), priority == Background::Idle ? SCHED_IDLE : SCHED_BATCH, &param);
}

} // namespace app

// Lowering a thread to idle scheduling priority on POSIX systems.
#include "link/thread_priority.h"

#include <pthread.h>
#include <sched.h>

void lowerToIdlePriority(std::thread &thread)
{
#ifdef SCHED_IDLE
    sched_param parameters{};
    parameters.sched_priority = 0;
    pthread_setschedparam(thread.native_handle(), SCHED_IDLE, &parameters);
#else
    static_cast<void>(thread);
#endif
}

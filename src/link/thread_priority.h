// Scheduling priority of the program's background threads.
#pragma once

#include <thread>

// The worker only waits for the adapter; it should never take time from anything the user runs.
void lowerToIdlePriority(std::thread &thread);

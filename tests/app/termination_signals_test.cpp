// SPDX-License-Identifier: GPL-3.0-or-later
// The system's requests to end the program reach the GUI thread as a call, and only while asked for.
#include "app/termination_signals.h"

#include "support/gui_wait.h"

#include <gtest/gtest.h>

#include <signal.h>

namespace vestra7 {

namespace {

bool hasDefaultAction(int signal)
{
    struct sigaction current = {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler == SIG_DFL;
}

TEST(TerminationSignals, EachRequestIsACallOnTheGuiThreadAndTheDefaultsComeBackAfterwards)
{
    {
        int requests = 0;
        int lastSignal = 0;
        const TerminationSignals termination([&](int signal) {
            ++requests;
            lastSignal = signal;
        });
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            const int before = requests;
            ASSERT_EQ(raise(signal), 0);
            // The handler only notes the request; the call comes from the event loop.
            EXPECT_EQ(requests, before);
            EXPECT_TRUE(waitUntil([&] { return requests == before + 1; })) << "signal " << signal;
            EXPECT_EQ(lastSignal, signal);
        }
        EXPECT_FALSE(hasDefaultAction(SIGTERM));
    }
    EXPECT_TRUE(hasDefaultAction(SIGTERM));
    EXPECT_TRUE(hasDefaultAction(SIGINT));
    EXPECT_TRUE(hasDefaultAction(SIGHUP));
}

} // namespace

} // namespace vestra7

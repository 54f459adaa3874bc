// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting on the GUI thread for a condition while its event loop runs.
#pragma once

#include <chrono>
#include <functional>

namespace vestra7 {

// Runs the event loop until `condition` holds or `timeout` has passed; returns the condition. The
// loop sleeps until an event comes, so a report handed over by another thread is served at once.
bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Runs every event posted to the GUI thread before this call.
void drainPostedEvents();

} // namespace vestra7

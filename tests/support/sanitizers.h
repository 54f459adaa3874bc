// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the tests run under ThreadSanitizer, which cannot start a child from a process that runs
// threads and reports a thread left unjoined on purpose.
#pragma once

namespace vestra7 {

#if defined(__SANITIZE_THREAD__)
inline constexpr bool kUnderThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
inline constexpr bool kUnderThreadSanitizer = true;
#else
inline constexpr bool kUnderThreadSanitizer = false;
#endif
#else
inline constexpr bool kUnderThreadSanitizer = false;
#endif

} // namespace vestra7

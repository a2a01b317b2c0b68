#pragma once

namespace platform {

// How many steps of niceness a helper thread gives up. It then gets a core
// after the threads of normal priority that want one (the cipher's, the
// window's), and still runs at once whenever a core is free.
inline constexpr int kHelperThreadNiceness = 5;

// Lowers the calling thread's own scheduling priority, and no other thread's,
// by kHelperThreadNiceness. A thread cannot raise it again without privilege:
// only a thread that ends with its work may call this. Failures are ignored:
// the thread runs on at the priority it had.
void LowerThisThreadsPriority() noexcept;

}  // namespace platform

#pragma once

#include <vector>

namespace zqcrypt {

// Every signal whose default action ends the process and that a handler can
// catch (all but SIGKILL and SIGSTOP), the real-time ones included: what a
// program must answer for when it has something to put right on its way out.
[[nodiscard]] std::vector<int> EndingSignals();

}  // namespace zqcrypt

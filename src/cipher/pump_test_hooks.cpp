// The program's own pump hook: it holds nothing. Kept alone in this file, so
// that a test's definition takes its place at link time.
#include "cipher/pump_test_hooks.h"

namespace cipher::detail {

void BeforeEachChunk() {}

}  // namespace cipher::detail

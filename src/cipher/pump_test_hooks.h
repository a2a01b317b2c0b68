#pragma once

// Where tests may hold the chunk pump between chunks, to see what a window
// does while a long job is under way. The program links the default of
// pump_test_hooks.cpp, which returns at once; the tests link their own in its
// place (tests/support/pump_faults.cpp), so that no hold ships.
namespace cipher::detail {

// Runs on the thread that steps the chunks, before each chunk is stepped.
void BeforeEachChunk();

}  // namespace cipher::detail

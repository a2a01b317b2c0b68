#pragma once

// What both programs do first thing in main(): they hold the client key in
// memory, so no crash may write that memory to disk.
namespace platform {

// Marks the process as not dumpable (no core file, and no other process of
// the same user may attach to it or read its memory through /proc) and sets
// the core file size limit to 0 for the process and what it starts. Failures
// are ignored: there is nothing better to do than to go on.
void ForbidCoreDumps() noexcept;

}  // namespace platform

#pragma once

#include <filesystem>
#include <functional>

namespace testsupport {

// Permission bits do not stop root, and CI runs as root. A test of an
// unwritable folder or a read-only file runs its body through here: in a
// child process that drops to the user "nobody" when we are root, and runs
// as ourselves otherwise. Returns the body's result; -1 when the child could
// not drop its privileges or died.
[[nodiscard]] int RunUnprivileged(const std::function<int()>& body);

// Hands a path to the user that RunUnprivileged runs as (a no-op unless root).
void GiveToUnprivilegedUser(const std::filesystem::path& path);

}  // namespace testsupport

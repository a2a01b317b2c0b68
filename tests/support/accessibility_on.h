#pragma once

namespace testsupport {

// Turns Qt's accessibility on, as a screen reader does when it starts: only
// then do the widgets send accessibility events. The offscreen platform never
// turns it on by itself. False when the platform offers no accessibility.
[[nodiscard]] bool TurnAccessibilityOn();

}  // namespace testsupport

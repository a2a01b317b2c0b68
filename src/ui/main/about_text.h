#pragma once

#include <QString>

// What Help > About shows.
namespace ui {

// " v" and the version as major "0", minor "00" and revision "00": " v4.02.4015".
[[nodiscard]] QString VersionText(int major, int minor, int revision);

// "About ZQ Decoder".
[[nodiscard]] QString AboutTitle();

// The copyright line, the application's title and the version text, each
// line ended by CR LF but the last.
[[nodiscard]] QString AboutText();

}  // namespace ui

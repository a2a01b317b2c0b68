#pragma once

namespace ui {

// Screen readers never hear what a line edit hides. Qt puts the characters
// typed into a password box, and those deleted from it, into the box's
// text-changed accessibility events, and a reader speaks what those events
// carry. This wraps the handler of accessibility events once for the whole
// run: text events of a line edit whose echo mode hides its text carry one
// mask character for each character (none when nothing is echoed), and every
// other event goes on unchanged. Installing it again changes nothing.
void InstallHiddenTextMasking();

}  // namespace ui

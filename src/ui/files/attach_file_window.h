#pragma once

class frmDecode;

namespace ui {

// Gives the main window its attachment window: made on the first press of
// Decode Attachments and kept for the whole run, it reads the key from the
// main window's key box each time one of its commands runs.
void AttachFileWindow(frmDecode& main_window);

}  // namespace ui

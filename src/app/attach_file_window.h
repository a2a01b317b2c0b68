#pragma once

#include <string>
#include <vector>

class frmDecode;

namespace ui {

// Gives the main window its attachment window: made on the first press of
// Decode Attachments and kept for the whole run, it reads the key from the
// main window's key box each time one of its commands runs. Files dropped on
// the main window open the attachment window with them.
void AttachFileWindow(frmDecode& main_window);

// Shows the attachment window with `files` (the bytes of their names), as if
// they had been dropped on it.
void OpenInFileWindow(frmDecode& main_window, const std::vector<std::string>& files);

// `ZQDecoder FILE...`: the files named on the command line (byte for byte)
// open in the attachment window; names are made absolute against the current
// folder. Without files it does nothing.
void OpenCommandLineFiles(frmDecode& main_window, const std::vector<std::string>& names);

}  // namespace ui

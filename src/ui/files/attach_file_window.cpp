#include "ui/files/attach_file_window.h"

#include "ui/files/frm_decode_file.h"
#include "ui/main/frm_decode.h"

#include <memory>

namespace ui {

void AttachFileWindow(frmDecode& main_window) {
    // The main window owns the attachment window, so the reference outlives it.
    main_window.SetFileWindowFactory([&main_window] {
        auto file_window = std::make_unique<frmDecodeFile>([&main_window] { return main_window.ClientKeyText(); });
        file_window->setWindowIcon(main_window.windowIcon());
        return file_window;
    });
}

}  // namespace ui

#pragma once

#include "support/key_store_in.h"
#include "ui/main/frm_decode.h"
#include "ui/support/message_box_recorder.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>

#include <memory>

// Drives a real frmDecode the way a user does: through its controls, menus
// and message boxes, found by their names.
namespace testsupport {

class WindowDriver {
public:
    // Creates the window and shows it, waiting until it is active.
    explicit WindowDriver(const m_Decoder::KeyStoreSettings& key_store);
    explicit WindowDriver(std::unique_ptr<ui::RememberedKeyStore> key_store);

    [[nodiscard]] frmDecode& Window() { return *window_; }
    [[nodiscard]] QPlainTextEdit& Encrypted();
    [[nodiscard]] QPlainTextEdit& ClearText();
    [[nodiscard]] QLineEdit& ClientKey();
    [[nodiscard]] QPushButton& Button(const char* name);
    [[nodiscard]] QAction& Menu(const char* name);

    // Puts `text` on the clipboard and pastes it into the box with Ctrl+V.
    void Paste(QWidget& box, const QString& text);
    // Clears the key box and types `key` into it.
    void TypeKey(const QString& key);
    void Click(const char* button);
    // Activates the window and waits until it is active.
    void Activate();

private:
    std::unique_ptr<frmDecode> window_;
};

}  // namespace testsupport

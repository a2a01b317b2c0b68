#pragma once

#include "ui/main/frm_decode.h"
#include "jobs/key_store.h"

#include <QAction>
#include <QLineEdit>
#include <QList>
#include <QPair>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>

#include <filesystem>
#include <memory>

// Drives a real frmDecode the way a user does: through its controls, menus
// and message boxes, found by their names.
namespace testsupport {

// Settings of a key store in `folder`, with no pause.
[[nodiscard]] m_Decoder::KeyStoreSettings KeyStoreIn(const std::filesystem::path& folder);

class WindowDriver {
public:
    // Creates the window and shows it, waiting until it is active.
    explicit WindowDriver(const m_Decoder::KeyStoreSettings& key_store);

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

// Records the message boxes shown while it lives, answering each with OK.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    // Title and prompt of each box, in order.
    [[nodiscard]] const QList<QPair<QString, QString>>& Boxes() const { return boxes_; }

private:
    QList<QPair<QString, QString>> boxes_;
    struct Observer;
    std::unique_ptr<Observer> observer_;
};

}  // namespace testsupport

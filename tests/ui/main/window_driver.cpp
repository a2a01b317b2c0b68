#include "window_driver.h"

#include "ui/main/file_key_store.h"
#include "ui/support/find_control.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <utility>

namespace testsupport {

WindowDriver::WindowDriver(const m_Decoder::KeyStoreSettings& key_store)
    : WindowDriver(std::make_unique<ui::FileKeyStore>(key_store)) {}

WindowDriver::WindowDriver(std::unique_ptr<ui::RememberedKeyStore> key_store)
    : window_(std::make_unique<frmDecode>(std::move(key_store))) {
    window_->show();
    if (!QTest::qWaitForWindowActive(window_.get())) {
        qWarning("the main window did not become active");
    }
}

QPlainTextEdit& WindowDriver::Encrypted() {
    return Find<QPlainTextEdit>(*window_, "txtEncrypted");
}

QPlainTextEdit& WindowDriver::ClearText() {
    return Find<QPlainTextEdit>(*window_, "txtClearText");
}

QLineEdit& WindowDriver::ClientKey() {
    return Find<QLineEdit>(*window_, "txtClientKey");
}

QPushButton& WindowDriver::Button(const char* name) {
    return Find<QPushButton>(*window_, name);
}

QAction& WindowDriver::Menu(const char* name) {
    return Find<QAction>(*window_, name);
}

void WindowDriver::Paste(QWidget& box, const QString& text) {
    QApplication::clipboard()->setText(text);
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
}

void WindowDriver::TypeKey(const QString& key) {
    ClientKey().clear();
    QTest::keyClicks(&ClientKey(), key);
}

void WindowDriver::Click(const char* button) {
    QTest::mouseClick(&Button(button), Qt::LeftButton);
}

void WindowDriver::Activate() {
    window_->activateWindow();
    if (!QTest::qWaitForWindowActive(window_.get())) {
        qWarning("the main window did not become active again");
    }
}

}  // namespace testsupport

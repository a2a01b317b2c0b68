#include "window_driver.h"

#include "ui/message_box.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTest>

namespace testsupport {

m_Decoder::KeyStoreSettings KeyStoreIn(const std::filesystem::path& folder) {
    m_Decoder::KeyStoreSettings settings;
    settings.folder = folder.string();
    return settings;
}

WindowDriver::WindowDriver(const m_Decoder::KeyStoreSettings& key_store)
    : window_(std::make_unique<frmDecode>(key_store)) {
    window_->show();
    if (!QTest::qWaitForWindowActive(window_.get())) {
        qWarning("the main window did not become active");
    }
}

QPlainTextEdit& WindowDriver::Encrypted() {
    return *window_->findChild<QPlainTextEdit*>(QStringLiteral("txtEncrypted"));
}

QPlainTextEdit& WindowDriver::ClearText() {
    return *window_->findChild<QPlainTextEdit*>(QStringLiteral("txtClearText"));
}

QLineEdit& WindowDriver::ClientKey() {
    return *window_->findChild<QLineEdit*>(QStringLiteral("txtClientKey"));
}

QPushButton& WindowDriver::Button(const char* name) {
    return *window_->findChild<QPushButton*>(QString::fromLatin1(name));
}

QAction& WindowDriver::Menu(const char* name) {
    return *window_->findChild<QAction*>(QString::fromLatin1(name));
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

struct MessageBoxRecorder::Observer {
    explicit Observer(QList<QPair<QString, QString>>& boxes)
        : scoped([&boxes](QMessageBox& box) {
              boxes.append({box.windowTitle(), box.text()});
              box.button(QMessageBox::Ok)->click();
          }) {}
    ui::ScopedMessageBoxObserver scoped;
};

MessageBoxRecorder::MessageBoxRecorder() : observer_(std::make_unique<Observer>(boxes_)) {}

MessageBoxRecorder::~MessageBoxRecorder() = default;

}  // namespace testsupport

#pragma once

#include "support/temp_dir.h"
#include "ui/files/file_window_controls.h"
#include "ui/files/frm_decode_file.h"
#include "ui/main/window_driver.h"

#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <memory>

// What the attachment window's tests start from: a fresh temporary folder
// and a shown window that reads the key the test sets.
namespace testsupport {

class FileWindowFixture {
protected:
    using Boxes = QList<QPair<QString, QString>>;

    // In init(): the folder, then the window, shown and active.
    void OpenWindow(const QString& key) {
        dir_ = std::make_unique<TempDir>();
        key_ = key;
        window_ = std::make_unique<ui::frmDecodeFile>([this] { return key_; });
        ShowWindow();
    }
    // In cleanup(): the window goes first, its job with it.
    void CloseWindow() {
        window_.reset();
        dir_.reset();
    }
    void ShowWindow() {
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    template <typename Control>
    [[nodiscard]] Control* Find(const char* name) const {
        return ControlOf<Control>(*window_, name);
    }
    [[nodiscard]] QStringList StatusLines() const { return StatusLinesOf(*window_); }
    // The paths as a user pastes them.
    void SetPaths(const std::filesystem::path& encrypted, const std::filesystem::path& decrypted) {
        Find<QLineEdit>("txtEFile")->setText(QString::fromStdString(encrypted.string()));
        Find<QLineEdit>("txtDFile")->setText(QString::fromStdString(decrypted.string()));
    }
    // Clicks Decode and waits for its job to end; the boxes shown meanwhile.
    [[nodiscard]] Boxes Decode() {
        const MessageBoxRecorder recorder;
        QTest::mouseClick(Find<QPushButton>("cmdDecode"), Qt::LeftButton);
        if (!WaitForJobEnd(*window_)) {
            qWarning("the job did not end");
        }
        return recorder.Boxes();
    }

    std::unique_ptr<TempDir> dir_;
    QString key_;
    std::unique_ptr<ui::frmDecodeFile> window_;
};

}  // namespace testsupport

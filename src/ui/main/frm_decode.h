#pragma once

#include "jobs/key_store.h"
#include "ui/main/remembered_key_store.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QLineEdit;
class QPlainTextEdit;

namespace ui {
class RememberedKeyWriter;
}

// The main window: the user pastes the protected text of an e-mail, types
// the client key and presses Decode to read the clear text. From here the
// attachment window is opened, the key is remembered between runs, and the
// program ends: closing this window ends it.
class frmDecode : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmDecode)

public:
    // Makes the attachment window, on the first press of Decode Attachments.
    using FileWindowFactory = std::function<std::unique_ptr<QWidget>()>;

    // `key_store` says where the remembered key lives and how a save pauses.
    explicit frmDecode(m_Decoder::KeyStoreSettings key_store, QWidget* parent = nullptr);
    // Remembers the key in `key_store`.
    explicit frmDecode(std::unique_ptr<ui::RememberedKeyStore> key_store, QWidget* parent = nullptr);
    ~frmDecode() override;

    // The text of the key box as typed, spaces included: the attachment window
    // reads the key here whenever it needs it, and trims it itself.
    [[nodiscard]] QString ClientKeyText() const;

    // Decode Attachments shows the one attachment window, made by `factory`
    // on first use and kept for the whole run, without owner and not modal.
    // Without a factory the button does nothing.
    void SetFileWindowFactory(FileWindowFactory factory);

    // Runs first when the window unloads, before the key is saved: the
    // attachment window's job stops there, so that nothing of it is still
    // arriving while the save pauses and lets events run.
    void SetBeforeUnload(std::function<void()> before_unload);

    // What Decode Attachments does: shows the attachment window, made on
    // first use, and gives it (nullptr without a factory). A window that was
    // not open yet opens beside this one, where the platform lets it be placed.
    QWidget* ShowFileWindow();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CreateMenus();

    void cmdDecode_Click();
    void cmdDecodeAttachments_Click();
    void Form_Activate();
    // The remembered key fills the key box and sets the mark; none clears it.
    void ShowRememberedKey(const std::string& key);
    void Form_Unload();
    void mnuRememberKey_Click(bool checked);
    void txtClientKey_Change();
    void mnuAbout_Click();
    void KeySaveFailed();
    void KeySaveRefused();

    std::unique_ptr<ui::RememberedKeyStore> key_store_;
    FileWindowFactory file_window_factory_;
    std::function<void()> before_unload_;
    std::unique_ptr<QWidget> file_window_;
    bool shown_ = false;
    bool unloading_ = false;
    // The activation is putting the remembered key into the key box: no edit of the user's.
    bool filling_key_box_ = false;
    bool told_key_not_saved_ = false;
    ui::RememberedKeyWriter* key_writer_ = nullptr;

    QPlainTextEdit* txtEncrypted_ = nullptr;
    QPlainTextEdit* txtClearText_ = nullptr;
    QLineEdit* txtClientKey_ = nullptr;
    QAction* mnuRememberKey_ = nullptr;
};

#pragma once

#include "jobs/key_store.h"
#include "ui/main/program_end.h"
#include "ui/main/remembered_key_store.h"

#include <QMainWindow>

#include <chrono>
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
    // Asks a running job to stop without waiting for it; `stopped` runs on
    // this window's thread once it has, at once when none runs.
    using JobStopper = std::function<void(std::function<void()> stopped)>;

    // How long the program waits, after the unload, for a job to stop.
    static constexpr std::chrono::seconds kJobStopPatience{5};

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

    // The unload asks `stopper` first, then saves the key, and the program
    // ends once the job has stopped, or after kJobStopPatience at most: a
    // job held by a file system that has stalled must not hold the program.
    void SetJobStopper(JobStopper stopper);

    // How the program ends; the program's own unless a test gives another.
    void SetProgramEnd(ui::EndProgram end_program);

    // A request to end from outside (a signal): the first unloads the
    // window as File > Exit does, one during the unload ends the program at once.
    void EndOnRequest();

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
    // Ends the program once the job has stopped and the key is settled.
    void EndWhenSettled();
    void End(ui::Ending how);
    void mnuRememberKey_Click(bool checked);
    void txtClientKey_Change();
    void mnuAbout_Click();
    void KeySaveFailed();
    void KeySaveRefused();

    std::unique_ptr<ui::RememberedKeyStore> key_store_;
    FileWindowFactory file_window_factory_;
    JobStopper job_stopper_;
    ui::EndProgram end_program_ = ui::EndTheProgram;
    std::unique_ptr<QWidget> file_window_;
    bool shown_ = false;
    bool unloading_ = false;
    // The activation is putting the remembered key into the key box: no edit of the user's.
    bool filling_key_box_ = false;
    bool told_key_not_saved_ = false;
    bool job_stopped_ = false;
    bool key_settled_ = false;
    bool ended_ = false;
    ui::RememberedKeyWriter* key_writer_ = nullptr;

    QPlainTextEdit* txtEncrypted_ = nullptr;
    QPlainTextEdit* txtClearText_ = nullptr;
    QLineEdit* txtClientKey_ = nullptr;
    QAction* mnuRememberKey_ = nullptr;
};

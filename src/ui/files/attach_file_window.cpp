#include "ui/files/attach_file_window.h"

#include "ui/file_drops.h"
#include "ui/files/frm_decode_file.h"
#include "ui/main/frm_decode.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace ui {

void AttachFileWindow(frmDecode& main_window) {
    // The main window owns the attachment window, so the reference outlives it.
    main_window.SetFileWindowFactory([&main_window] {
        auto file_window = std::make_unique<frmDecodeFile>([&main_window] { return main_window.ClientKeyText(); });
        file_window->setWindowIcon(main_window.windowIcon());
        return file_window;
    });
    AcceptFileDrops(main_window, [&main_window](const QStringList& files) { OpenInFileWindow(main_window, files); });
}

void OpenInFileWindow(frmDecode& main_window, const QStringList& files) {
    if (auto* file_window = qobject_cast<frmDecodeFile*>(main_window.ShowFileWindow())) {
        file_window->OpenFiles(files);
    }
}

void OpenCommandLineFiles(frmDecode& main_window, const QStringList& arguments) {
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        files.append(QDir::cleanPath(QFileInfo(arguments.at(i)).absoluteFilePath()));
    }
    if (!files.isEmpty()) {
        OpenInFileWindow(main_window, files);
    }
}

}  // namespace ui

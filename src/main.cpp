#include "platform/process_guard.h"
#include "ui/files/attach_file_window.h"
#include "ui/main/frm_decode.h"
#include "ui/main/key_store_location.h"
#include "ui/main/termination_signals.h"
#include "ui/open_display.h"
#include "version.h"

#include <QApplication>
#include <QIcon>

#include <memory>

int main(int argc, char* argv[]) {
    platform::ForbidCoreDumps();
    const std::unique_ptr<QApplication> app = ui::OpenDisplay(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(app::kTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(app::kVersionMajor).arg(app::kVersionMinor).arg(app::kVersionRevision));
    // The installed desktop entry's name: Wayland desktops find the program's
    // icon through it and group its windows under it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.ZQDecoder"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zqdecoder.svg")));

    frmDecode window(m_Decoder::ProgramKeyStoreSettings());
    ui::AttachFileWindow(window);
    ui::CloseOnTerminationSignals(window);
    window.show();
    ui::OpenCommandLineFiles(window, QApplication::arguments());
    return QApplication::exec();
}

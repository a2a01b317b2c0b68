#include "platform/process_guard.h"
#include "ui/files/attach_file_window.h"
#include "ui/main/frm_decode.h"
#include "ui/main/program_key_store.h"
#include "ui/main/termination_signals.h"
#include "version.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    platform::ForbidCoreDumps();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(app::kTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(app::kVersionMajor).arg(app::kVersionMinor).arg(app::kVersionRevision));

    frmDecode window(m_Decoder::ProgramKeyStoreSettings());
    ui::AttachFileWindow(window);
    ui::CloseOnTerminationSignals(window);
    window.show();
    // argv itself, not QApplication::arguments(), which turns a name that is
    // not valid UTF-8 into replacement marks. QApplication has already taken
    // its own options out of argc and argv.
    ui::OpenCommandLineFiles(window, std::vector<std::string>(argv, argv + argc));
    return QApplication::exec();
}

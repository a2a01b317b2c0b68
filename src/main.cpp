#include "ui/files/attach_file_window.h"
#include "ui/main/frm_decode.h"
#include "ui/main/key_store_location.h"
#include "version.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(app::kTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(app::kVersionMajor).arg(app::kVersionMinor).arg(app::kVersionRevision));

    frmDecode window(m_Decoder::ProgramKeyStoreSettings());
    ui::AttachFileWindow(window);
    window.show();
    ui::OpenCommandLineFiles(window, QApplication::arguments());
    return QApplication::exec();
}

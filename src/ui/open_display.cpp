#include "ui/open_display.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace ui {
namespace {

void ReportNoDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", kNoDisplayMessage);
        // Nothing has started yet, so there is nothing to save or close.
        std::_Exit(EXIT_FAILURE);
    }
}

}  // namespace

std::unique_ptr<QApplication> OpenDisplay(int& argc, char** argv) {
    // Only while the display is opened: a fatal message later on means something else.
    const QtMessageHandler previous = qInstallMessageHandler(ReportNoDisplay);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return application;
}

}  // namespace ui

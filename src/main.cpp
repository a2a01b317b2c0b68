#include "jobs/unfinished_file_removal.h"
#include "platform/process_guard.h"
#include "ui/command_line.h"
#include "ui/files/attach_file_window.h"
#include "ui/main/frm_decode.h"
#include "ui/main/program_key_store.h"
#include "ui/main/termination_signals.h"
#include "ui/open_display.h"
#include "util/escaped_text.h"
#include "version.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <memory>
#include <span>

namespace {

[[nodiscard]] std::span<char* const> ArgumentsAfterName(int argc, char* argv[]) {
    return argc > 0 ? std::span<char* const>(argv + 1, static_cast<std::size_t>(argc - 1)) : std::span<char* const>();
}

}  // namespace

int main(int argc, char* argv[]) {
    platform::ForbidCoreDumps();
    // Answered before the application object is made, which needs a display:
    // --help works over ssh too.
    if (const ui::CommandLine early = ui::ParseCommandLine(ArgumentsAfterName(argc, argv));
        early.action == ui::CommandLine::Action::kHelp || early.action == ui::CommandLine::Action::kVersion) {
        const std::string text = early.action == ui::CommandLine::Action::kHelp ? ui::HelpText() : ui::VersionText();
        return std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
    }
    const std::unique_ptr<QApplication> app = ui::OpenDisplay(argc, argv);
    // Read from argv itself, not QApplication::arguments(), which turns a name
    // that is not valid UTF-8 into replacement marks. QApplication has already
    // taken its own options out of argc and argv.
    const ui::CommandLine command_line = ui::ParseCommandLine(ArgumentsAfterName(argc, argv));
    if (command_line.action == ui::CommandLine::Action::kUnknownOption) {
        std::fprintf(stderr, "ZQDecoder: unknown option %s\n%s", util::EscapedText(command_line.unknown_option).c_str(),
                     ui::UsageText().c_str());
        return ui::kUsageExitStatus;
    }
    QApplication::setApplicationName(QString::fromUtf8(app::kTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(app::kVersionMajor).arg(app::kVersionMinor).arg(app::kVersionRevision));
    // The installed desktop entry's name: Wayland desktops find the program's
    // icon through it and group its windows under it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.ZQDecoder"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zqdecoder.svg")));

    // A job writing under a temporary name (on file systems without unnamed
    // files) takes that name with it when a quit, a broken pipe or a fault
    // ends the program; the requests to end close the window instead.
    const m_Decoder::RemoveUnfinishedFilesOnEndingSignals unfinished_file_removal;
    frmDecode window(ui::ProgramKeyStore());
    ui::AttachFileWindow(window);
    ui::CloseOnTerminationSignals(window);
    window.show();
    ui::OpenCommandLineFiles(window, command_line.files);
    return QApplication::exec();
}

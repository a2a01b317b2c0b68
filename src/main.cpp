#include "app/attach_file_window.h"
#include "platform/process_guard.h"
#include "platform/unfinished_file_removal.h"
#include "ui/command_line.h"
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
#include <string>
#include <vector>

namespace {

[[nodiscard]] std::span<char* const> ArgumentsAfterName(int argc, char** argv) {
    return argc > 0 ? std::span<char* const>(argv + 1, static_cast<std::size_t>(argc - 1)) : std::span<char* const>();
}

}  // namespace

int main(int argc, char* argv[]) {
    platform::ForbidCoreDumps();
    // Read from argv itself, not QApplication::arguments(), which turns a name
    // that is not valid UTF-8 into replacement marks; and all of it decided
    // before the application object is made, which needs a display: --help
    // works over ssh too, and a wrong option is a wrong option anywhere.
    const ui::CommandLine command_line = ui::ParseCommandLine(ArgumentsAfterName(argc, argv));
    switch (command_line.action) {
        case ui::CommandLine::Action::kHelp:
        case ui::CommandLine::Action::kVersion: {
            const std::string text =
                command_line.action == ui::CommandLine::Action::kHelp ? ui::HelpText() : ui::VersionText();
            return std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
        }
        case ui::CommandLine::Action::kUsageError:
            std::fprintf(stderr, "ZQDecoder: %s\n%s", util::EscapedText(command_line.usage_error).c_str(),
                         ui::UsageText().c_str());
            return ui::kUsageExitStatus;
        case ui::CommandLine::Action::kOpenWindow:
            break;
    }
    // Qt is given the program's name and the words before `--` only: it knows
    // no `--`, and would take a file called -platform for its option.
    std::vector<char*> qt_argv(argv, argv + (argc > 0 ? 1 + command_line.option_words : 0));
    int qt_argc = static_cast<int>(qt_argv.size());
    qt_argv.push_back(nullptr);
    const std::unique_ptr<QApplication> app = ui::OpenDisplay(qt_argc, qt_argv.data());
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
    const platform::RemoveUnfinishedFilesOnEndingSignals unfinished_file_removal;
    frmDecode window(ui::ProgramKeyStore());
    ui::AttachFileWindow(window);
    ui::CloseOnTerminationSignals(window);
    window.show();
    ui::OpenCommandLineFiles(window, command_line.files);
    return QApplication::exec();
}

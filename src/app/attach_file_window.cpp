#include "app/attach_file_window.h"

#include "platform/native_path.h"
#include "ui/file_drops.h"
#include "ui/files/frm_decode_file.h"
#include "ui/main/frm_decode.h"

#include <QPointer>

#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>
#include <utility>

namespace ui {
namespace {

// Worked out on the name's bytes, never through QString, which would turn
// bytes that are not UTF-8 into replacement marks. Like QDir::cleanPath, it
// drops "." and "name/.." and a separator at the end. A name that cannot be
// made absolute (the current folder is gone) is kept as it was given.
std::string AbsoluteCleanName(const std::string& name) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(platform::PathFromUtf8(name), error);
    if (error) {
        return name;
    }
    std::filesystem::path clean = absolute.lexically_normal();
    if (!clean.has_filename() && clean.has_relative_path()) {
        clean = clean.parent_path();
    }
    return platform::Utf8FromPath(clean);
}

}  // namespace

void AttachFileWindow(frmDecode& main_window) {
    // The main window owns the attachment window, so the reference outlives it.
    auto made = std::make_shared<QPointer<frmDecodeFile>>();
    main_window.SetFileWindowFactory([&main_window, made] {
        auto file_window = std::make_unique<frmDecodeFile>([&main_window] { return main_window.ClientKeyText(); });
        file_window->setWindowIcon(main_window.windowIcon());
        *made = file_window.get();
        return file_window;
    });
    main_window.SetJobStopper([made](std::function<void()> stopped) {
        if (made->isNull()) {
            return stopped();
        }
        (*made)->StopJob(std::move(stopped));
    });
    AcceptFileDrops(main_window,
                    [&main_window](const std::vector<std::string>& files) { OpenInFileWindow(main_window, files); });
}

void OpenInFileWindow(frmDecode& main_window, const std::vector<std::string>& files) {
    if (auto* file_window = qobject_cast<frmDecodeFile*>(main_window.ShowFileWindow())) {
        file_window->OpenFiles(files);
    }
}

void OpenCommandLineFiles(frmDecode& main_window, const std::vector<std::string>& names) {
    std::vector<std::string> files;
    files.reserve(names.size());
    for (const std::string& name : names) {
        files.push_back(AbsoluteCleanName(name));
    }
    if (!files.empty()) {
        OpenInFileWindow(main_window, files);
    }
}

}  // namespace ui

#include "ui/file_drops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <optional>
#include <utility>

namespace ui {
namespace {

// Seen before the control under the pointer: a text box would otherwise take
// a dragged file for text and paste its address.
class FileDropFilter : public QObject {
public:
    FileDropFilter(QObject* parent, std::function<void(const std::vector<std::string>& files)> open)
        : QObject(parent), open_(std::move(open)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDragMoveEvent*>(event);
                if (DroppedFiles(drag->mimeData()).empty()) {
                    break;
                }
                drag->acceptProposedAction();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const std::vector<std::string> files = DroppedFiles(drop->mimeData());
                if (files.empty()) {
                    break;
                }
                drop->acceptProposedAction();
                open_(files);
                return true;
            }
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(const std::vector<std::string>& files)> open_;
};

// The name of a local file as its bytes: the URL leaves undecodable escapes
// (a name that is not valid UTF-8) encoded, so percent-decoding its encoded
// path gives the name as the file system holds it. A host is kept in front,
// "//host/path", as QUrl::toLocalFile() gives it.
std::optional<std::string> LocalFileName(const QUrl& url) {
    if (!url.isLocalFile()) {
        return std::nullopt;
    }
    QByteArray name = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!url.host().isEmpty()) {
        name.prepend(name.startsWith('/') ? QByteArray() : QByteArrayLiteral("/"));
        name.prepend(QByteArrayLiteral("//") + url.host().toUtf8());
    }
    // A NUL would cut the name short on its way to the file system.
    if (name.isEmpty() || name.contains('\0')) {
        return std::nullopt;
    }
    return name.toStdString();
}

}  // namespace

std::vector<std::string> DroppedFiles(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) {
        return {};
    }
    // The raw list, split as QMimeData::urls() splits it: only the list still
    // holds the bytes of a name that is not valid UTF-8.
    std::vector<std::string> files;
    for (const QByteArray& line : data->data(QStringLiteral("text/uri-list")).split('\n')) {
        const QByteArray encoded = line.trimmed();
        if (encoded.isEmpty()) {
            continue;
        }
        std::optional<std::string> file = LocalFileName(QUrl::fromEncoded(encoded));
        if (!file) {
            return {};
        }
        files.push_back(std::move(*file));
    }
    return files;
}

void AcceptFileDrops(QWidget& window, std::function<void(const std::vector<std::string>& files)> open) {
    auto* filter = new FileDropFilter(&window, std::move(open));
    window.setAcceptDrops(true);
    window.installEventFilter(filter);
    // Text boxes take drops themselves, at their viewports. Controls that take
    // none never see a drag: it goes to the window.
    for (QWidget* control : window.findChildren<QWidget*>()) {
        control->installEventFilter(filter);
    }
}

}  // namespace ui

#include "ui/file_drops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <utility>

namespace ui {
namespace {

// Seen before the control under the pointer: a text box would otherwise take
// a dragged file for text and paste its address.
class FileDropFilter : public QObject {
public:
    FileDropFilter(QObject* parent, std::function<void(const QStringList& files)> open)
        : QObject(parent), open_(std::move(open)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDragMoveEvent*>(event);
                if (DroppedFiles(drag->mimeData()).isEmpty()) {
                    break;
                }
                drag->acceptProposedAction();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const QStringList files = DroppedFiles(drop->mimeData());
                if (files.isEmpty()) {
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
    std::function<void(const QStringList& files)> open_;
};

}  // namespace

QStringList DroppedFiles(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) {
        return {};
    }
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty()) {
            return {};
        }
        files.append(url.toLocalFile());
    }
    return files;
}

void AcceptFileDrops(QWidget& window, std::function<void(const QStringList& files)> open) {
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

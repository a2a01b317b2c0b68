#include "message_box_recorder.h"

#include "ui/message_box.h"

#include <QMessageBox>
#include <QPushButton>

namespace testsupport {

struct MessageBoxRecorder::Observer {
    explicit Observer(QList<QPair<QString, QString>>& boxes)
        : scoped([&boxes](QMessageBox& box) {
              boxes.append({box.windowTitle(), box.text()});
              box.button(QMessageBox::Ok)->click();
          }) {}
    ui::ScopedMessageBoxObserver scoped;
};

MessageBoxRecorder::MessageBoxRecorder() : observer_(std::make_unique<Observer>(boxes_)) {}

MessageBoxRecorder::~MessageBoxRecorder() = default;

}  // namespace testsupport

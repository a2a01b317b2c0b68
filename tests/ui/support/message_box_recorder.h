#pragma once

#include "support/uncopyable.h"

#include <QList>
#include <QPair>
#include <QString>

#include <memory>

namespace testsupport {

// Records the message boxes shown while it lives, answering each with OK.
class MessageBoxRecorder : Uncopyable {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();

    // Title and prompt of each box, in order.
    [[nodiscard]] const QList<QPair<QString, QString>>& Boxes() const { return boxes_; }

private:
    QList<QPair<QString, QString>> boxes_;
    struct Observer;
    std::unique_ptr<Observer> observer_;
};

}  // namespace testsupport

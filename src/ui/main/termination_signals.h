#pragma once

#include "platform/unique_fd.h"

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;
class QWidget;

namespace ui {

// The signals with which a session manager, a terminal or `kill` ask the
// program to end.
inline constexpr std::array<int, 3> kTerminationSignals = {SIGTERM, SIGINT, SIGHUP};

// Ends the program on those signals as File > Exit does: `window` is closed,
// so a running file job stops and the remembered key is saved or deleted as
// at any unload. The handler only writes the signal's number into a pipe; the
// event loop reads it. One instance at a time; it puts the previous handlers
// back when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

public:
    explicit TerminationSignals(QWidget& window);
    ~TerminationSignals() override;

private:
    void OnSignalPending();

    QWidget& window_;
    platform::UniqueFd read_end_;
    platform::UniqueFd write_end_;
    QSocketNotifier* notifier_ = nullptr;
    std::array<struct sigaction, kTerminationSignals.size()> previous_{};  // indexed as kTerminationSignals
};

// What the program does: a TerminationSignals owned by `window`.
void CloseOnTerminationSignals(QWidget& window);

}  // namespace ui

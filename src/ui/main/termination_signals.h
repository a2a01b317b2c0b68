#pragma once

#include "platform/scoped_signal_handler.h"
#include "platform/unique_fd.h"

#include <QObject>

#include <vector>

class QSocketNotifier;
class frmDecode;

namespace ui {

// Ends the program on the requests to end (platform::kEndRequests: a
// session manager, a terminal or `kill`) as File > Exit does: `window` is
// unloaded, so a running file job is asked to stop and the remembered key is
// saved or deleted as at any unload. A request that comes while the window
// unloads, or waits for a job to stop, ends the program at once. The handler
// only writes the signal's number into a pipe; the event loop reads it. A
// request ignored when it begins (`nohup`) stays ignored. One instance at a
// time; it puts the previous handlers back when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

public:
    explicit TerminationSignals(frmDecode& window);
    ~TerminationSignals() override;

private:
    void OnSignalPending();

    frmDecode& window_;
    platform::UniqueFd read_end_;
    platform::UniqueFd write_end_;
    QSocketNotifier* notifier_ = nullptr;
    std::vector<platform::ScopedSignalHandler> handlers_;
};

// What the program does: a TerminationSignals owned by `window`.
void CloseOnTerminationSignals(frmDecode& window);

}  // namespace ui

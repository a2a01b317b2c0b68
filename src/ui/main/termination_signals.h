#pragma once

#include "jobs/ending_signals.h"
#include "platform/unique_fd.h"

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;
class frmDecode;

namespace ui {

// Ends the program on the requests to end (m_Decoder::kEndRequests: a
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
    // Indexed as m_Decoder::kEndRequests.
    std::array<struct sigaction, m_Decoder::kEndRequests.size()> previous_{};
    std::array<bool, m_Decoder::kEndRequests.size()> installed_{};
};

// What the program does: a TerminationSignals owned by `window`.
void CloseOnTerminationSignals(frmDecode& window);

}  // namespace ui

#pragma once

#include "cipher/file_container.h"
#include "jobs/beside_queue.h"
#include "jobs/file_job.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class ThreadInbox;

// One run of the attachment window: the file named in its boxes, if any, then
// the queued files, each decoded beside itself.
//
// The run goes on a thread of its own and holds no widget: it takes what it
// needs by value, reads its stop flag at every chunk, and tells what happens
// through its signals. Those it posts to an inbox on the window's thread and
// emits from there, so that whoever listens is called on that thread only,
// in the order the run sent, and stops hearing the run once it disconnects.
class FileRun : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileRun)

public:
    // Progress is sent at most this often, and once at the end of each file.
    static constexpr std::chrono::milliseconds kProgressInterval{50};
    // The progress signal counts each file in thousandths: a bar's range is an int, a file's size need not be.
    static constexpr int kProgressSteps = 1000;

    // One file named in the window's boxes, for Decode or Encode.
    struct BoxedJob {
        m_Decoder::FileJob job = m_Decoder::FileJob::kDecrypt;
        std::string source;
        std::string dest;
    };
    struct Inputs {
        std::optional<BoxedJob> boxed;
        std::vector<std::string> queue;
        std::string key;
    };
    // How the run ended, for the boxes shown at its end.
    struct Outcome {
        std::string error;     // of the boxed job
        bool stopped = false;  // the boxed job ended on Cancel
        bool suspect = false;  // the boxed job decoded into what looks like noise
        std::optional<m_Decoder::BesideTally> queue;
    };

    FileRun(Inputs inputs, ThreadInbox& inbox);
    ~FileRun() override = default;

    // How many of kProgressSteps `done` bytes of `total` make.
    [[nodiscard]] static int StepsDone(std::uint64_t done, std::uint64_t total) noexcept;

    [[nodiscard]] const Inputs& RunInputs() const noexcept { return inputs_; }
    [[nodiscard]] std::size_t Files() const noexcept { return (inputs_.boxed ? 1 : 0) + inputs_.queue.size(); }

    // On the run's thread: the whole run, to its end.
    void Run();

    // From any thread: the run stops at its next chunk and ends as usual,
    // stopped, with "Stopped:" and "Not started:" lines for what it left.
    void RequestStop() noexcept { stop_ = true; }
    [[nodiscard]] bool StopRequested() const noexcept { return stop_.load(); }

    // Once Run has returned and its thread has been joined: the job thread
    // reads it for the window when the run ends.
    [[nodiscard]] const Outcome& RunOutcome() const noexcept { return outcome_; }

Q_SIGNALS:
    // A status line, UTF-8.
    void StatusLine(const std::string& line);
    // File `number` of `files` starts.
    void FileStarted(std::size_t number, std::size_t files);
    // The file under way is `steps` thousandths done.
    void Progressed(int steps);

private:
    void RunBoxedJob(const BoxedJob& job, std::size_t files);
    [[nodiscard]] m_Decoder::BesideTally DecodeQueue(std::size_t files_before, std::size_t files);

    // On the run's thread: each posts one signal to the inbox.
    void SendStatus(std::string line);
    void SendFileStarted(std::size_t number, std::size_t files);
    [[nodiscard]] m_Encryption::Progress ProgressSender();

    const Inputs inputs_;
    ThreadInbox& inbox_;
    std::atomic<bool> stop_{false};
    using Clock = std::chrono::steady_clock;
    // The run's thread only: when progress was last sent.
    Clock::time_point last_progress_ = Clock::now();
    // Written by the run's thread, read once that thread has been joined.
    Outcome outcome_;
};

}  // namespace ui

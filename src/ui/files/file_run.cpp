#include "ui/files/file_run.h"

#include "jobs/wrong_key_check.h"
#include "platform/runtime_error.h"
#include "ui/thread_inbox.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

namespace ui {

FileRun::FileRun(Inputs inputs, ThreadInbox& inbox) : inputs_(std::move(inputs)), inbox_(inbox) {}

int FileRun::StepsDone(std::uint64_t done, std::uint64_t total) noexcept {
    constexpr auto kSteps = static_cast<std::uint64_t>(kProgressSteps);
    if (total == 0 || done >= total) {
        return kProgressSteps;
    }
    // Past 2^64 / 1000 bytes the product would overflow: divide first.
    const std::uint64_t steps =
        total <= std::numeric_limits<std::uint64_t>::max() / kSteps ? done * kSteps / total : done / (total / kSteps);
    return static_cast<int>(std::min(steps, kSteps));
}

void FileRun::Run() {
    const std::size_t files = Files();
    if (inputs_.boxed) {
        RunBoxedJob(*inputs_.boxed, files);
    }
    if (!inputs_.queue.empty()) {
        outcome_.queue = DecodeQueue(files - inputs_.queue.size(), files);
    }
}

void FileRun::RunBoxedJob(const BoxedJob& job, std::size_t files) {
    SendFileStarted(1, files);
    const bool decrypt = job.job == m_Decoder::FileJob::kDecrypt;
    m_Encryption::ClearHead clear_head;
    outcome_.error = m_Decoder::RunFileJob(job.job, job.source, job.dest, inputs_.key,
                                           {.status = [this](const std::string& line) { SendStatus(line); },
                                            .progress = ProgressSender(),
                                            .clear_head = decrypt ? &clear_head : nullptr});
    // A job that failed after Cancel was asked for ended on it.
    outcome_.stopped = !outcome_.error.empty() && StopRequested();
    if (outcome_.stopped) {
        SendStatus("Stopped: " + job.source);
    }
    outcome_.suspect = decrypt && outcome_.error.empty() && m_Decoder::LooksLikeWrongKey(clear_head);
}

m_Decoder::BesideTally FileRun::DecodeQueue(std::size_t files_before, std::size_t files) {
    std::size_t started = files_before;
    m_Decoder::BesideQueueEvents events;
    events.status = [this](const std::string& line) { SendStatus(line); };
    events.finished = [this](const std::string& source, const m_Decoder::BesideOutcome& outcome) {
        if (outcome.kind == m_Decoder::BesideOutcome::Kind::kFailed && StopRequested()) {
            SendStatus("Stopped: " + source);
        } else if (outcome.kind != m_Decoder::BesideOutcome::Kind::kDecoded) {
            SendStatus(m_Decoder::SkippedLine(source, outcome.reason));
        }
    };
    events.progress = ProgressSender();
    events.around_each = [this, &started, files](const std::function<void()>& job) {
        SendFileStarted(++started, files);
        job();
    };
    events.stop = [this] { return StopRequested(); };
    events.not_started = [this](const std::string& source) { SendStatus("Not started: " + source); };
    return m_Decoder::DecryptQueueBeside(inputs_.queue, inputs_.key, events);
}

void FileRun::SendStatus(std::string line) {
    inbox_.Post([this, line = std::move(line)] { Q_EMIT StatusLine(line); });
}

void FileRun::SendFileStarted(std::size_t number, std::size_t files) {
    inbox_.Post([this, number, files] { Q_EMIT FileStarted(number, files); });
}

// Throws a user interrupt once a stop was asked for, so that the file's job
// ends at this chunk; sends the file's progress no more often than
// kProgressInterval over the whole run, and at each file's end.
m_Encryption::Progress FileRun::ProgressSender() {
    return [this](std::uint64_t done, std::uint64_t total) {
        if (StopRequested()) {
            throw platform::RuntimeError(platform::err::kUserInterrupt);
        }
        const Clock::time_point now = Clock::now();
        if (done == total || now - last_progress_ >= kProgressInterval) {
            last_progress_ = now;
            const int steps = StepsDone(done, total);
            inbox_.Post([this, steps] { Q_EMIT Progressed(steps); });
        }
    };
}

}  // namespace ui

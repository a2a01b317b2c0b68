#pragma once

#include "cipher/file_container.h"
#include "jobs/decrypt_beside.h"
#include "jobs/file_job.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The one loop over a queue of encrypted files, each decrypted beside
// itself: what the attachment window's queue and `zqcrypt decrypt --beside`
// run. The front ends only show what it tells them, each in its own way.
namespace m_Decoder {

// What a front end hears of a queue, in the order it happens. Every member
// may be left empty.
struct BesideQueueEvents {
    // Each status line of each file's job ("Here we go!", "Getting file: ...").
    StatusSink status;
    // Each file once it has ended, decoded or not.
    std::function<void(const std::string& source, const BesideOutcome& outcome)> finished;
    // The progress of the file being decoded. Whatever it throws ends that
    // file's job as a failure, its unfinished file removed.
    m_Encryption::Progress progress;
    // Runs each file's whole job, given as `job`, so that a front end can
    // wrap it (zqcrypt holds Ctrl-C back around it); the default just runs it.
    std::function<void(const std::function<void()>& job)> around_each;
    // Asked before each file: true stops the queue there.
    std::function<bool()> stop;
    // Each file that a stop left unstarted, in order.
    std::function<void(const std::string& source)> not_started;
};

// How a queue ended, file by file.
struct BesideTally {
    std::size_t total = 0;
    std::size_t decoded = 0;
    std::size_t refused = 0;      // a check failed: nothing was read or written
    std::size_t failed = 0;       // the job ran and failed
    std::size_t not_started = 0;  // a stop came first
    std::size_t suspects = 0;     // decoded, but into what looks like noise

    [[nodiscard]] std::size_t NotDecoded() const noexcept { return total - decoded; }
};

// Decrypts each of `sources` beside itself under `skey`, in order, telling
// `events` as it goes. A file that is refused or fails does not stop the
// others.
[[nodiscard]] BesideTally DecryptQueueBeside(const std::vector<std::string>& sources, const std::string& skey,
                                             const BesideQueueEvents& events);

}  // namespace m_Decoder

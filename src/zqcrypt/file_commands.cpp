#include "zqcrypt/file_commands.h"

#include "jobs/beside_queue.h"
#include "jobs/decrypt_beside.h"
#include "jobs/file_job.h"
#include "jobs/file_job_checks.h"
#include "jobs/wrong_key_check.h"
#include "platform/runtime_error.h"
#include "util/escaped_text.h"
#include "util/path_helpers.h"
#include "zqcrypt/deferred_interrupts.h"
#include "zqcrypt/fd_io.h"
#include "zqcrypt/messages.h"
#include "zqcrypt/progress_display.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace zqcrypt {
namespace {

// Status lines are a report, not the work: once standard output has failed
// the job goes on without them, and the command's end reports the failure.
class StatusPrinter {
public:
    StatusPrinter(const Console& console, bool quiet, ProgressDisplay* progress)
        : console_(console), quiet_(quiet), progress_(progress) {}

    void Print(const std::string& line) {
        if (progress_ != nullptr) {
            progress_->Clear();
        }
        if (!quiet_) {
            (void)WriteOutput(console_, util::EscapedText(line) + "\n");
        }
    }

private:
    const Console& console_;
    bool quiet_;
    ProgressDisplay* progress_;
};

[[nodiscard]] std::optional<ProgressDisplay> ProgressOnTerminal(const Console& console) {
    if (!IsTerminal(console.err)) {
        return std::nullopt;
    }
    return ProgressDisplay(
        [fd = console.err, failures = console.failures](std::string_view text) {
            try {
                WriteAll(fd, text);
            } catch (const platform::RuntimeError&) {
                // A progress line that cannot be drawn is no reason to stop.
                failures->NoteError();
            }
        },
        [] { return std::chrono::steady_clock::now(); });
}

// The job's progress on the terminal, and an interrupt turned into the job's
// failure, so that the job removes its unfinished file.
void ShowProgressUnlessInterrupted(const DeferredInterrupts& interrupts, std::optional<ProgressDisplay>& progress,
                                   std::uint64_t done, std::uint64_t total) {
    if (interrupts.Arrived()) {
        throw platform::RuntimeError(platform::err::kUserInterrupt);
    }
    if (progress) {
        progress->Update(done, total);
    }
}

// decrypt --beside: each file as the attachment window's queue takes it,
// refused or failed files each with one "Skipped:" line on standard error.
[[nodiscard]] ExitStatus RunBesideCommand(const Invocation& invocation, const KeySources& key_sources,
                                          const Console& console) {
    const std::optional<std::string> key_found = KeyForCommand(key_sources, KeyUse::kRead, console);
    if (!key_found) {
        return ExitStatus::kRefused;
    }
    const std::string& key = *key_found;
    std::optional<ProgressDisplay> progress;
    if (!invocation.quiet) {
        progress = ProgressOnTerminal(console);
    }
    StatusPrinter status(console, invocation.quiet, progress ? &*progress : nullptr);
    const DeferredInterrupts* interrupts = nullptr;
    m_Decoder::BesideQueueEvents events;
    events.status = [&status](const std::string& line) { status.Print(line); };
    events.progress = [&interrupts, &progress](std::uint64_t done, std::uint64_t total) {
        ShowProgressUnlessInterrupted(*interrupts, progress, done, total);
    };
    events.around_each = [&interrupts, &progress](const std::function<void()>& job) {
        const DeferredInterrupts held_back;
        interrupts = &held_back;
        job();
        if (progress) {
            progress->Clear();
        }
        interrupts = nullptr;
    };  // an interrupt held back ends the program there, before the next file
    events.finished = [&console](const std::string& source, const m_Decoder::BesideOutcome& outcome) {
        if (outcome.kind != m_Decoder::BesideOutcome::Kind::kDecoded) {
            Complain(console, m_Decoder::SkippedLine(source, outcome.reason));
        } else if (outcome.suspect_wrong_key) {
            Complain(console, util::EscapedText(outcome.destination) + ": " + m_Decoder::kWrongKeyWarning);
        }
    };
    const m_Decoder::BesideTally tally = m_Decoder::DecryptQueueBeside(invocation.beside, key, events);
    if (tally.failed != 0) {
        return ExitStatus::kJobFailed;
    }
    return tally.refused != 0 ? ExitStatus::kRefused : ExitStatus::kSuccess;
}

}  // namespace

ExitStatus RunFileCommand(const Invocation& invocation, const KeySources& key_sources, const Console& console) {
    const bool decrypt = invocation.command == Command::kDecrypt;
    if (decrypt && !invocation.beside.empty()) {
        return RunBesideCommand(invocation, key_sources, console);
    }
    const m_Decoder::FileJob job = decrypt ? m_Decoder::FileJob::kDecrypt : m_Decoder::FileJob::kEncrypt;
    // The paths are checked before the key is asked for, as in the window.
    // They are taken exactly as the shell passed them: unlike a text box, a
    // command line has no stray spaces to trim.
    if (const auto refusal = m_Decoder::CheckJobPaths(job, invocation.source, invocation.destination)) {
        Complain(console, m_Decoder::RefusalPrompt(job, *refusal));
        return ExitStatus::kRefused;
    }
    // The window's Encode goes ahead with an empty key; in a script that would
    // write a file nobody can open with the key they meant, so both refuse.
    const std::optional<std::string> key_found =
        KeyForCommand(key_sources, decrypt ? KeyUse::kRead : KeyUse::kMake, console);
    if (!key_found) {
        return ExitStatus::kRefused;
    }
    const std::string& key = *key_found;

    std::optional<ProgressDisplay> progress;
    if (!invocation.quiet) {
        progress = ProgressOnTerminal(console);
    }
    StatusPrinter status(console, invocation.quiet, progress ? &*progress : nullptr);
    status.Print("Here we go!");
    std::string result;
    m_Encryption::ClearHead clear_head;
    {
        const DeferredInterrupts interrupts;
        result = m_Decoder::RunFileJob(
            job, invocation.source, invocation.destination, key,
            [&status](const std::string& line) { status.Print(line); }, m_Decoder::SystemWallClock,
            [&interrupts, &progress](std::uint64_t done, std::uint64_t total) {
                ShowProgressUnlessInterrupted(interrupts, progress, done, total);
            },
            decrypt ? &clear_head : nullptr);
        if (progress) {
            progress->Clear();
        }
    }  // an interrupt held back ends the program here

    if (!result.empty()) {
        Complain(console, std::string(decrypt ? kErrorDecoding : kErrorEncoding) + "\n" + util::EscapedText(result));
        return ExitStatus::kJobFailed;
    }
    if (decrypt && m_Decoder::LooksLikeWrongKey(clear_head)) {
        // The file stays, and the command still succeeded: only the user can tell.
        Complain(console, m_Decoder::kWrongKeyWarning);
    }
    return ExitStatus::kSuccess;
}

}  // namespace zqcrypt

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
#include "zqcrypt/job_report.h"
#include "zqcrypt/messages.h"

#include <functional>
#include <optional>
#include <string>

namespace zqcrypt {
namespace {

// What a file job needs before it starts: the key, and where the job reports.
struct JobSetUp {
    std::string key;
    JobReport report;
};

// Nothing once the key has been refused on the console.
[[nodiscard]] std::optional<JobSetUp> SetUpJob(const Invocation& invocation, const KeySources& key_sources,
                                               m_Decoder::KeyUse use, const Console& console) {
    std::optional<std::string> key = KeyForCommand(key_sources, use, console);
    if (!key) {
        return std::nullopt;
    }
    return JobSetUp{std::move(*key), JobReport(console, invocation.quiet)};
}

// The job's progress on the terminal, and an interrupt turned into the job's
// failure, so that the job removes its unfinished file.
void ShowProgressUnlessInterrupted(const DeferredInterrupts& interrupts, JobReport& report, std::uint64_t done,
                                   std::uint64_t total) {
    if (interrupts.Arrived()) {
        throw platform::RuntimeError(platform::err::kUserInterrupt);
    }
    report.Progress(done, total);
}

// decrypt --beside: each file as the attachment window's queue takes it,
// refused or failed files each with one "Skipped:" line on standard error.
[[nodiscard]] ExitStatus RunBesideCommand(const Invocation& invocation, const KeySources& key_sources,
                                          const Console& console) {
    std::optional<JobSetUp> set_up = SetUpJob(invocation, key_sources, m_Decoder::KeyUse::kRead, console);
    if (!set_up) {
        return ExitStatus::kRefused;
    }
    JobReport& report = set_up->report;
    const DeferredInterrupts* interrupts = nullptr;
    m_Decoder::BesideQueueEvents events;
    events.status = [&report](const std::string& line) { report.Status(line); };
    events.progress = [&interrupts, &report](std::uint64_t done, std::uint64_t total) {
        ShowProgressUnlessInterrupted(*interrupts, report, done, total);
    };
    events.around_each = [&interrupts, &report](const std::function<void()>& job) {
        const DeferredInterrupts held_back;
        interrupts = &held_back;
        job();
        report.ClearProgress();
        interrupts = nullptr;
    };  // an interrupt held back ends the program there, before the next file
    events.finished = [&console](const std::string& source, const m_Decoder::BesideOutcome& outcome) {
        if (outcome.kind != m_Decoder::BesideOutcome::Kind::kDecoded) {
            Complain(console, m_Decoder::SkippedLine(source, outcome.reason));
        } else if (outcome.suspect_wrong_key) {
            Complain(console, util::EscapedText(outcome.destination) + ": " + m_Decoder::kWrongKeyWarning);
        }
    };
    const m_Decoder::BesideTally tally = m_Decoder::DecryptQueueBeside(invocation.beside, set_up->key, events);
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
    std::optional<JobSetUp> set_up =
        SetUpJob(invocation, key_sources, decrypt ? m_Decoder::KeyUse::kRead : m_Decoder::KeyUse::kMake, console);
    if (!set_up) {
        return ExitStatus::kRefused;
    }
    JobReport& report = set_up->report;
    report.Status("Here we go!");
    std::string result;
    m_Encryption::ClearHead clear_head;
    {
        const DeferredInterrupts interrupts;
        result = m_Decoder::RunFileJob(job, invocation.source, invocation.destination, set_up->key,
                                       {.status = [&report](const std::string& line) { report.Status(line); },
                                        .progress =
                                            [&interrupts, &report](std::uint64_t done, std::uint64_t total) {
                                                ShowProgressUnlessInterrupted(interrupts, report, done, total);
                                            },
                                        .clear_head = decrypt ? &clear_head : nullptr});
        report.ClearProgress();
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

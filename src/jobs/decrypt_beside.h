#pragma once

#include "cipher/file_container.h"
#include "jobs/file_job.h"
#include "jobs/file_job_checks.h"
#include "jobs/wrong_key_check.h"
#include "util/path_helpers.h"

#include <cstddef>
#include <optional>
#include <string>

// Several encrypted files at once, each decrypted beside itself under the
// name that Browse would propose: what the attachment window's queue and
// `zqcrypt decrypt --beside` share, so that both plan and refuse alike.
namespace m_Decoder {

// The decrypted file proposed for `chosen`: beside it, under its clear name
// when its base name starts with "e~" (case counts), else with "DECODED" in
// front.
//
// An existing file is taken apart by its real last separator, so that any
// extension, or none, gives a path beside it ("e~notes.html" gives
// "notes.html"). Any other name (a folder, or what the user typed) is taken
// apart by the path helpers, which read a name as a file only when it has a
// three-character extension; the empty name gives the separator and "DECODED".
[[nodiscard]] std::string ProposedDestination(const std::string& chosen, char cSep = kNativeSeparator);

// One file of a queue, planned: where it goes and, when it may not go there,
// why not.
struct BesidePlan {
    std::string source;
    std::string destination;
    std::optional<JobRefusal> refusal;
};

// The plan for `source` under the key: Decode's own checks, in their order,
// against the proposed destination.
[[nodiscard]] BesidePlan PlanDecryptBeside(const std::string& source, const std::string& skey);

// How one file of a queue ended.
struct BesideOutcome {
    enum class Kind { kDecoded, kRefused, kFailed };
    Kind kind = Kind::kDecoded;
    std::string destination;
    std::string reason;              // refused or failed: the refusal's prompt or the job's error text
    bool suspect_wrong_key = false;  // decoded, but into what looks like noise
};

// Plans `source`, and unless it is refused runs the decrypt job on it with
// the usual status lines ("Here we go!" first), then judges what came out
// with `wrong_key_check`, the one kept for the whole queue.
[[nodiscard]] BesideOutcome DecryptBeside(const std::string& source, const std::string& skey,
                                          WrongKeyCheck& wrong_key_check, const StatusSink& status,
                                          const m_Encryption::Progress& progress = {});

// "Skipped: PATH: REASON", the one line of a file that was not decoded, with
// PATH escaped as util::EscapedText shows it.
[[nodiscard]] std::string SkippedLine(const std::string& source, const std::string& reason);

// "2 of 5 files were not decoded: see the list." ("1 of 5 files was ...").
[[nodiscard]] std::string NotDecodedSummary(std::size_t skipped, std::size_t total);

}  // namespace m_Decoder

#pragma once

#include "jobs/file_job.h"

#include <optional>
#include <string>

// What the front ends check before they start a file job, and the prompts
// with which they refuse. The checks run in a fixed order and the first that
// fails stops the command, so the user always hears of one thing at a time.
namespace m_Decoder {

enum class JobRefusal {
    kNoSource,
    kSourceNotFound,
    kNoDestination,
    kDestinationExists,  // decrypting only, for a name taken in any form: encrypting replaces a file
    kKeyMissing,         // decrypting only: the hidden Encode runs with any key
};

// The first check of the paths that fails, or nothing when they may be used.
[[nodiscard]] std::optional<JobRefusal> CheckJobPaths(FileJob job, const std::string& sSourceFile,
                                                      const std::string& sDestFile);

// All of a command's checks on its paths and key (already trimmed): the paths,
// then, when decrypting, the key. Asked for last, the key sends the user off
// to type it only once the paths are right.
[[nodiscard]] std::optional<JobRefusal> CheckJobInputs(FileJob job, const std::string& sSourceFile,
                                                       const std::string& sDestFile, const std::string& skey);

// The prompt that refuses a job for this reason.
[[nodiscard]] const char* RefusalPrompt(FileJob job, JobRefusal refusal);

}  // namespace m_Decoder

#include "jobs/file_job_checks.h"

#include "platform/file_lookup.h"

namespace m_Decoder {

std::optional<JobRefusal> CheckJobPaths(FileJob job, const std::string& sSourceFile, const std::string& sDestFile) {
    if (sSourceFile.empty()) {
        return JobRefusal::kNoSource;
    }
    if (!FileExists(sSourceFile)) {
        return JobRefusal::kSourceNotFound;
    }
    if (sDestFile.empty()) {
        return JobRefusal::kNoDestination;
    }
    if (job == FileJob::kDecrypt && NameExists(sDestFile)) {
        return JobRefusal::kDestinationExists;
    }
    return std::nullopt;
}

std::optional<JobRefusal> CheckJobInputs(FileJob job, const std::string& sSourceFile, const std::string& sDestFile,
                                         const std::string& skey) {
    if (const auto refusal = CheckJobPaths(job, sSourceFile, sDestFile)) {
        return refusal;
    }
    if (job == FileJob::kDecrypt && skey.empty()) {
        return JobRefusal::kKeyMissing;
    }
    return std::nullopt;
}

const char* RefusalPrompt(FileJob job, JobRefusal refusal) {
    const bool decrypt = job == FileJob::kDecrypt;
    switch (refusal) {
        case JobRefusal::kNoSource:
            return decrypt ? "No Encrypted File Provided!" : "File to Encrypt Not Provided!";
        case JobRefusal::kSourceNotFound:
            return decrypt ? "Encrypted File Not Found!" : "File to Encrypt Not Found!";
        case JobRefusal::kNoDestination:
            return decrypt ? "No Decrypted Path and Filename Provided!" : "No Encrypted Path and Filename Provided!";
        case JobRefusal::kDestinationExists:
            return "File Found With Same Path and Name as Decrypted File Path!";
        case JobRefusal::kKeyMissing:
            return "Key Missing!";
    }
    return "";
}

}  // namespace m_Decoder

#include "jobs/decrypt_beside.h"

#include "platform/file_lookup.h"
#include "util/escaped_text.h"

#include <algorithm>

namespace m_Decoder {

std::string ProposedDestination(const std::string& chosen, char cSep) {
    std::string folder;
    std::string file;
    std::string base;
    if (FileExists(chosen)) {
        const std::size_t last_separator = chosen.rfind(cSep);
        // A bare name is a file in the current folder: the proposal stays there too, not in the root.
        folder = last_separator == std::string::npos ? std::string() : chosen.substr(0, last_separator + 1);
        file = last_separator == std::string::npos ? chosen : chosen.substr(last_separator + 1);
        base = file.substr(0, file.find('.'));
    } else {
        folder = GetFolderFromPath(chosen, cSep) + cSep;
        file = GetFileFromPath(chosen, cSep);
        base = GetBaseNameFromPath(chosen, cSep);
    }
    if (base.starts_with("e~")) {
        // Without its first two characters; a typed "e~notes" has a base but no file name at all.
        return folder + file.substr(std::min<std::size_t>(2, file.size()));
    }
    return folder + "DECODED" + file;
}

BesidePlan PlanDecryptBeside(const std::string& source, const std::string& skey) {
    BesidePlan plan{source, ProposedDestination(source), std::nullopt};
    plan.refusal = CheckJobInputs(FileJob::kDecrypt, plan.source, plan.destination, skey);
    return plan;
}

BesideOutcome DecryptBeside(const std::string& source, const std::string& skey, WrongKeyCheck& wrong_key_check,
                            const StatusSink& status, const m_Encryption::Progress& progress) {
    const BesidePlan plan = PlanDecryptBeside(source, skey);
    BesideOutcome outcome;
    outcome.destination = plan.destination;
    if (plan.refusal) {
        outcome.kind = BesideOutcome::Kind::kRefused;
        outcome.reason = RefusalPrompt(FileJob::kDecrypt, *plan.refusal);
        return outcome;
    }
    status("Here we go!");
    m_Encryption::ClearHead clear_head;
    outcome.reason = RunFileJob(FileJob::kDecrypt, plan.source, plan.destination, skey,
                                {.status = status, .progress = progress, .clear_head = &clear_head});
    if (!outcome.reason.empty()) {
        outcome.kind = BesideOutcome::Kind::kFailed;
        return outcome;
    }
    outcome.suspect_wrong_key = wrong_key_check.LooksLikeWrongKey(clear_head);
    return outcome;
}

std::string SkippedLine(const std::string& source, const std::string& reason) {
    // The name is outside text: a line break in it must not start a line of its own.
    return "Skipped: " + util::EscapedText(source) + ": " + reason;
}

std::string NotDecodedSummary(std::size_t skipped, std::size_t total) {
    return std::to_string(skipped) + " of " + std::to_string(total) +
           (skipped == 1 ? " files was not decoded: see the list." : " files were not decoded: see the list.");
}

}  // namespace m_Decoder

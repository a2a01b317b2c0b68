// A signal that ends a program during a job on a file system without unnamed
// files: the job's temporary file goes with the program, which still ends as
// the signal asks.
#include "platform/unfinished_file_removal.h"

#include "cipher/chunk_pump.h"
#include "cipher/file_container.h"
#include "support/temp_dir.h"
#include "support/writer_faults.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(RemoveUnfinishedFilesOnEndingSignals, TheTemporaryFileGoesAndTheSignalEndsTheProgram) {
    enum class Outcome { kRemoved, kIgnored, kLeftToTheProgram };
    struct Row {
        const char* what;
        int signal;
        Outcome outcome = Outcome::kRemoved;
        int earlier_jobs = 0;  // finished before, each with a temporary file of its own
    };
    const Row rows[] = {
        {"quit", SIGQUIT},
        {"user signal", SIGUSR1},
        {"alarm", SIGALRM},
        {"file size limit", SIGXFSZ},
        {"broken pipe", SIGPIPE},
        {"real-time", SIGRTMIN + 1},
        {"an ignored signal stays ignored", SIGUSR2, Outcome::kIgnored},
        {"after more jobs than the list of unfinished files holds", SIGQUIT, Outcome::kRemoved, 8},
        {"a request to end is each program's own", SIGTERM, Outcome::kLeftToTheProgram},
    };
    for (const Row& row : rows) {
        testsupport::TempDir dir;
        const fs::path work = dir / "work";
        fs::create_directory(work);
        testsupport::WriteFile(work / "plain", std::string(3 * cipher::kChunkSize, 'p'));

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit no_core{0, 0};
            (void)::setrlimit(RLIMIT_CORE, &no_core);
            ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
            if (row.outcome == Outcome::kIgnored) {
                std::signal(row.signal, SIG_IGN);
            }
            const platform::publish::ForcedNamedTemporary named(platform::publish::NamedTemporary::kRenameNoReplace);
            const platform::RemoveUnfinishedFilesOnEndingSignals guard;
            fs::create_directory(dir / "earlier");
            for (int job = 0; job < row.earlier_jobs; ++job) {
                const std::string earlier = (dir / "earlier" / std::to_string(job)).string();
                if (!m_Encryption::EncryptFileWithSalt((work / "plain").string(), earlier, "k", {}).empty()) {
                    ::_exit(4);
                }
            }
            bool raised = false;
            const std::string result = m_Encryption::EncryptFileWithSalt(
                (work / "plain").string(), (work / "e~plain").string(), "k", [&](std::uint64_t, std::uint64_t) {
                    if (!raised) {
                        raised = true;
                        if (Names(work).size() != 2) {
                            ::_exit(3);  // no temporary file to remove: the case would prove nothing
                        }
                        ::raise(row.signal);
                    }
                });
            ::_exit(result.empty() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (row.outcome == Outcome::kIgnored) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << row.what;
            EXPECT_EQ(Names(work), (std::set<std::string>{"plain", "e~plain"})) << row.what;
            continue;
        }
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == row.signal) << row.what << ": status " << status;
        if (row.outcome == Outcome::kRemoved) {
            EXPECT_EQ(Names(work), std::set<std::string>{"plain"}) << row.what;
        } else {
            EXPECT_EQ(Names(work).size(), 2U) << row.what << ": the temporary file is the program's to remove";
            EXPECT_FALSE(Names(work).contains("e~plain")) << row.what;
        }
    }
}

}  // namespace

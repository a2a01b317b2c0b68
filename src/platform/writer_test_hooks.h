#pragma once

// Where tests may step into AtomicFileWriter's publishing: the system calls
// that fail on vfat, exFAT or NFS, a final sync that fails, a name taken just
// before the file gets it, and how the folder's sync ended. The program links
// the defaults of writer_test_hooks.cpp, which do nothing; the tests link
// their own functions in their place (tests/support/writer_faults.cpp), so
// that no fault and no switch for one ships.
namespace platform::publish {

// The system calls of publishing that a test can make fail.
enum class Call {
    kUnnamedOpen,      // open(O_TMPFILE) of the file without a name
    kRenameNoReplace,  // renameat2(RENAME_NOREPLACE) of the named temporary file
    kLink,             // link() of the named temporary file to the destination
    kChangeMode,       // fchmod() of the finished file
    kFolderSync,       // fsync() of the folder once the file has its name
};

namespace detail {
// The errno that `call` must fail with now; 0 to make the call.
[[nodiscard]] int InjectedError(Call call);
// Whether fchmod() must succeed and change nothing, as on exFAT through FUSE.
[[nodiscard]] bool ModeChangeIgnored();
// The errno the sync before publishing must fail with now; 0 for none.
[[nodiscard]] int InjectedSyncError();
// Runs once the file is complete and synced, just before it gets its name.
void RunBeforePublishing();
// Told how the sync of the folder after publishing ended: 0, or its errno.
void FolderSynced(int errno_value);
}  // namespace detail

}  // namespace platform::publish

#pragma once

#include <functional>

// TEST SEAM. Lets tests reach the ways AtomicFileWriter publishes a file that
// the machine at hand would not take by itself: system calls that fail as
// they do on vfat, exFAT or NFS, a final sync that fails, and a name that
// another program takes just before the file is published. Nothing outside
// tests creates these objects. Each object restores, when it goes, what was
// planned before it.
namespace platform::publish {

// The system calls of publishing that a test can make fail.
enum class Call {
    kUnnamedOpen,      // open(O_TMPFILE) of the file without a name
    kRenameNoReplace,  // renameat2(RENAME_NOREPLACE) of the named temporary file
    kLink,             // link() of the named temporary file to the destination
    kChangeMode,       // fchmod() of the finished file
};

// While it lives, `call` fails with `errno_value` instead of being made.
class FailingCall {
public:
    FailingCall(Call call, int errno_value);
    ~FailingCall();
    FailingCall(const FailingCall&) = delete;
    FailingCall& operator=(const FailingCall&) = delete;

private:
    Call call_;
    int previous_ = 0;
};

// While it lives, fchmod() succeeds and changes nothing, as on exFAT through FUSE.
class IgnoredModeChange {
public:
    IgnoredModeChange();
    ~IgnoredModeChange();
    IgnoredModeChange(const IgnoredModeChange&) = delete;
    IgnoredModeChange& operator=(const IgnoredModeChange&) = delete;

private:
    bool previous_ = false;
};

enum class NamedTemporary {
    kRenameNoReplace,  // the file system moves a name only where none is
    kLinkThenUnlink,   // ... or cannot: it is linked, then its old name removed
    kPlainRename,      // ... nor link (FAT): renamed once the name is seen free
};

// While it lives, new writers find unnamed files refused, as on vfat or NFS,
// and publish their named temporary file the way asked.
class ForcedNamedTemporary {
public:
    explicit ForcedNamedTemporary(NamedTemporary how);
    ForcedNamedTemporary(const ForcedNamedTemporary&) = delete;
    ForcedNamedTemporary& operator=(const ForcedNamedTemporary&) = delete;

private:
    FailingCall unnamed_;
    FailingCall rename_;
    FailingCall link_;
};

// While it lives, the sync that comes before publishing fails with `errno_value`.
class SyncFailure {
public:
    explicit SyncFailure(int errno_value);
    ~SyncFailure();
    SyncFailure(const SyncFailure&) = delete;
    SyncFailure& operator=(const SyncFailure&) = delete;
};

// While it lives, `hook` runs once the file is complete and synced, just
// before it is given its name.
class BeforePublishing {
public:
    explicit BeforePublishing(std::function<void()> hook);
    ~BeforePublishing();
    BeforePublishing(const BeforePublishing&) = delete;
    BeforePublishing& operator=(const BeforePublishing&) = delete;
};

namespace detail {
// The errno that `call` must fail with now, 0 for none.
[[nodiscard]] int InjectedError(Call call);
[[nodiscard]] bool ModeChangeIgnored();
// The errno the sync must fail with now, 0 for none.
[[nodiscard]] int InjectedSyncError();
void RunBeforePublishing();
}  // namespace detail

}  // namespace platform::publish

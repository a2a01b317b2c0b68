#pragma once

#include <functional>

// TEST SEAM. Lets tests reach the ways AtomicFileWriter publishes a file that
// the machine at hand would not take by itself: the named temporary file of
// file systems without unnamed files, a final sync that fails, and a name
// that another program takes just before the file is published. Nothing
// outside tests creates these objects.
namespace platform::publish {

enum class NamedTemporary {
    kRenameNoReplace,  // the file system moves a name only where none is
    kLinkThenUnlink,   // ... or cannot: it is linked, then its old name removed
};

// While it lives, new writers find unnamed files refused, as on vfat or NFS,
// and publish their named temporary file the way asked.
class ForcedNamedTemporary {
public:
    explicit ForcedNamedTemporary(NamedTemporary how);
    ~ForcedNamedTemporary();
    ForcedNamedTemporary(const ForcedNamedTemporary&) = delete;
    ForcedNamedTemporary& operator=(const ForcedNamedTemporary&) = delete;
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
[[nodiscard]] bool UnnamedFilesRefused();
[[nodiscard]] bool RenameNoReplaceRefused();
// The errno the sync must fail with now, 0 for none.
[[nodiscard]] int InjectedSyncError();
void RunBeforePublishing();
}  // namespace detail

}  // namespace platform::publish

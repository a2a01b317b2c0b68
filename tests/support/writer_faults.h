#pragma once

#include "platform/writer_test_hooks.h"
#include "support/uncopyable.h"

#include <functional>
#include <vector>

// Faults for AtomicFileWriter, armed by objects that tests create: the ways it
// publishes a file that the machine at hand would not take by itself. This
// file's definitions of the writer's test hooks replace the program's
// do-nothing ones in every test; the programs never link it. Each object
// restores, when it goes, what was planned before it.
namespace platform::publish {

// While it lives, `call` fails with `errno_value` instead of being made.
class FailingCall : testsupport::Uncopyable {
public:
    FailingCall(Call call, int errno_value);
    ~FailingCall();

private:
    Call call_;
    int previous_ = 0;
};

// While it lives, fchmod() succeeds and changes nothing, as on exFAT through FUSE.
class IgnoredModeChange : testsupport::Uncopyable {
public:
    IgnoredModeChange();
    ~IgnoredModeChange();

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
class ForcedNamedTemporary : testsupport::Uncopyable {
public:
    explicit ForcedNamedTemporary(NamedTemporary how);

private:
    FailingCall unnamed_;
    FailingCall rename_;
    FailingCall link_;
};

// While it lives, the sync that comes before publishing fails with `errno_value`.
class SyncFailure : testsupport::Uncopyable {
public:
    explicit SyncFailure(int errno_value);
    ~SyncFailure();
};

// While it lives, `hook` runs once the file is complete and synced, just
// before it is given its name.
class BeforePublishing : testsupport::Uncopyable {
public:
    explicit BeforePublishing(std::function<void()> hook);
    ~BeforePublishing();
};

// While it lives, keeps how each sync of a folder after publishing ended: 0, or its errno.
class FolderSyncs : testsupport::Uncopyable {
public:
    FolderSyncs();
    ~FolderSyncs();
    [[nodiscard]] std::vector<int> Outcomes() const;
};

}  // namespace platform::publish

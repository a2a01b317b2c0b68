#pragma once

#include "zqcrypt/arguments.h"
#include "zqcrypt/client_key.h"
#include "zqcrypt/console.h"
#include "zqcrypt/exit_status.h"

namespace zqcrypt {

// decrypt and encrypt: the attachment window's checks, in its order and with
// its messages, then its file job. Unless --quiet, the job's status lines go
// to standard output, and its progress to standard error when that is a
// terminal. The key is read only once the paths have passed. An interrupt
// stops the job between chunks, so that it removes its unfinished file.
[[nodiscard]] ExitStatus RunFileCommand(const Invocation& invocation, const KeySources& key_sources,
                                        const Console& console);

}  // namespace zqcrypt

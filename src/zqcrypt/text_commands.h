#pragma once

#include "zqcrypt/arguments.h"
#include "zqcrypt/client_key.h"
#include "zqcrypt/console.h"
#include "zqcrypt/exit_status.h"

namespace zqcrypt {

// decode-text and encode-text: standard input through the text cipher to
// standard output. As text (the default) the input is UTF-8, its line breaks
// become CR LF and it crosses into the cipher through the single-byte code
// page, as the message window does; decoded text comes out with the line
// breaks of this system. With --raw the byte strings go in and out unchanged.
[[nodiscard]] ExitStatus RunTextCommand(const Invocation& invocation, const KeySources& key_sources,
                                        const Console& console);

}  // namespace zqcrypt

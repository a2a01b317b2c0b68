#include "zqcrypt/usage.h"

#include "zqcrypt/client_key.h"

namespace zqcrypt {

std::string UsageText() {
    return "Usage: zqcrypt decrypt [-q] SRC DST\n"
           "       zqcrypt decrypt [-q] --beside FILE...\n"
           "       zqcrypt encrypt [-q] SRC DST\n"
           "       zqcrypt decode-text [--raw]\n"
           "       zqcrypt encode-text [--raw]\n"
           "       zqcrypt --help | --version\n";
}

std::string HelpText() {
    return UsageText() + "\n" +
           "Decrypts and encrypts attachment files and decodes message text of the secure\n"
           "message service, as ZQ Decoder does.\n"
           "\n"
           "Commands:\n"
           "  decrypt SRC DST  decrypt the attachment SRC into the new file DST\n"
           "  decrypt --beside FILE...\n"
           "                   decrypt each attachment beside itself: e~report.pdf into\n"
           "                   report.pdf, any other name with DECODED in front; a file\n"
           "                   that cannot be decrypted is skipped with a line, and the\n"
           "                   others go on\n"
           "  encrypt SRC DST  encrypt the file SRC into DST, replacing DST\n"
           "  decode-text      decode the message text on standard input to standard output\n"
           "  encode-text      encode the text on standard input to standard output\n"
           "\n"
           "Options:\n"
           "  -q, --quiet      decrypt, encrypt: print no status lines and no progress\n"
           "      --raw        decode-text, encode-text: bytes in and out, as the cipher sees\n"
           "                   them, instead of UTF-8 text with CR LF line breaks\n"
           "  -h, --help       show this help\n"
           "  -V, --version    show the version\n"
           "\n"
           "The client key comes from the environment variable " +
           kKeyVariable +
           " (UTF-8), or is asked for\n"
           "without echo when standard input is a terminal. It is never taken from the\n"
           "command line.\n"
           "\n"
           "A decrypted file that looks like no kind of file at all (near-random bytes)\n"
           "gets a warning on standard error: the key was probably wrong.\n"
           "\n"
           "Exit status: 0 success, 1 an input was refused, 2 the job failed,\n"
           "64 the command line is wrong. With --beside, the highest of the files'.\n";
}

}  // namespace zqcrypt

#!/usr/bin/env bash
# Fails when a program carries a test's fault class or its state, or when
# zqcrypt needs Qt. Reads the unstripped programs of the build tree:
#   check_programs.sh ZQDECODER ZQCRYPT
set -euo pipefail
zqdecoder=$1
zqcrypt=$2
status=0
test_classes='HeldChunks|ForcedNamedTemporary|SyncFailure|BeforePublishing|CryptCallFailure|FailingCall|IgnoredModeChange'

for program in "$zqdecoder" "$zqcrypt"; do
    symbols=$(nm --demangle "$program")
    # The programs' own hooks must be there, or this check would read nothing.
    if ! grep -q 'platform::crypt::detail::InjectedFailure' <<<"$symbols"; then
        echo "$program: no symbols to read (stripped?)"
        status=1
    fi
    if found=$(grep -E "\b($test_classes)\b" <<<"$symbols" | head -n 5) && [ -n "$found" ]; then
        echo "$program carries test code:"
        sed 's/^/    /' <<<"$found"
        status=1
    fi
done
if qt=$(readelf --dynamic "$zqcrypt" | grep NEEDED | grep -i 'qt') && [ -n "$qt" ]; then
    echo "$zqcrypt needs Qt:"
    echo "$qt"
    status=1
fi
[ "$status" -eq 0 ] && echo "neither program carries a test fault; zqcrypt needs no Qt"
exit "$status"

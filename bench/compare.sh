#!/usr/bin/env bash
# Times `zqcrypt decrypt` against the openssl command line on one container.
#
#   bench/compare.sh [SIZE]      SIZE like 256M or 1G (default 1G)
#
# It makes a container of SIZE random bytes in a temporary folder and times,
# RUNS times each (default 5):
#   - zqcrypt decrypt, end to end;
#   - the same decryption through openssl: the 13-byte trailer stripped with
#     head, then `openssl enc -d -rc4` under the derived 16-byte key (the first
#     5 bytes of SHA-1 of the key, then the first 11 salt bytes);
#   - `openssl speed -evp rc4`, for the cipher alone.
# It prints the medians, the ratios and zqcrypt's peak resident memory.
#
# Needs, and installs nothing: bash 5, coreutils, openssl with its legacy
# provider (Debian: openssl, libssl3), GNU time at /usr/bin/time (Debian:
# time), and a built zqcrypt: $ZQCRYPT, or build-test/ (./test.sh) or build/.
# The files go to a temporary folder in $ZQ_BENCH_DIR, else /dev/shm (memory:
# the timings then measure the programs, not the disk), else $TMPDIR or /tmp;
# it needs about three times SIZE free.
set -euo pipefail

readonly KEY="benchmark key"
readonly TRAILER=13
readonly RUNS=${RUNS:-5}
readonly PROVIDERS=(-provider legacy -provider default)

fail() {
    echo "compare.sh: $*" >&2
    exit 1
}

cd "$(dirname "$0")/.."

size_text=${1:-1G}
size=$(numfmt --from=iec "$size_text" 2>/dev/null) || fail "not a size: $size_text (try 256M or 1G)"
((size > 0)) || fail "the size must be at least one byte"

zqcrypt=${ZQCRYPT:-}
if [ -z "$zqcrypt" ]; then
    for candidate in build-test/src/zqcrypt/zqcrypt build/src/zqcrypt/zqcrypt; do
        if [ -x "$candidate" ]; then
            zqcrypt=$PWD/$candidate
            break
        fi
    done
fi
[ -n "$zqcrypt" ] && [ -x "$zqcrypt" ] || fail "no zqcrypt built: run ./test.sh first, or set ZQCRYPT"
command -v openssl >/dev/null || fail "openssl is missing (Debian package: openssl)"
openssl enc -rc4 -K 00112233445566778899aabbccddeeff "${PROVIDERS[@]}" </dev/null >/dev/null 2>&1 ||
    fail "openssl has no RC4: its legacy provider is missing (Debian package: libssl3)"
[ -x /usr/bin/time ] && /usr/bin/time --version 2>&1 | grep -q GNU ||
    fail "GNU time is missing at /usr/bin/time (Debian package: time)"
[ -n "${EPOCHREALTIME:-}" ] || fail "bash 5 is needed for its clock"

base=${ZQ_BENCH_DIR:-}
if [ -z "$base" ]; then
    base=${TMPDIR:-/tmp}
    [ -d /dev/shm ] && [ -w /dev/shm ] && base=/dev/shm
fi
work=$(mktemp -d "$base/zqcrypt-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
free_kib=$(df -Pk "$work" | awk 'NR == 2 { print $4 }')
((free_kib * 1024 > 3 * size)) || fail "not enough room in $work for three files of $size_text"

now() { echo "${EPOCHREALTIME/,/.}"; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", b - a }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
hex() { od -An -v -tx1 | tr -d ' \n'; }

echo "Making a container of $size_text ($size bytes) in $work"
head -c "$size" /dev/urandom >"$work/plain"
expected=$(sha256sum <"$work/plain" | cut -d' ' -f1)
ZQ_KEY=$KEY "$zqcrypt" encrypt -q "$work/plain" "$work/container"
rm "$work/plain"

salt_length=$(tail -c 1 "$work/container" | od -An -tu1 | tr -d ' ')
((salt_length + 1 == TRAILER)) || fail "unexpected salt length $salt_length"
rc4_key=$(printf '%s' "$KEY" | openssl dgst -sha1 -binary | head -c 5 | hex)
rc4_key+=$(tail -c "$TRAILER" "$work/container" | head -c 11 | hex)

check_output() {
    [ "$(sha256sum <"$work/out" | cut -d' ' -f1)" = "$expected" ] || fail "$1 did not give back the plain file"
    rm "$work/out"
}

zq_times=()
zq_cpu=()
zq_rss_kib=0
ossl_times=()
for ((run = 1; run <= RUNS; run++)); do
    start=$(now)
    ZQ_KEY=$KEY /usr/bin/time -f '%M %U %S' -o "$work/usage" "$zqcrypt" decrypt -q "$work/container" "$work/out"
    zq_times+=("$(elapsed "$start" "$(now)")")
    read -r rss user sys < <(tail -n 1 "$work/usage")
    zq_cpu+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')")
    ((rss > zq_rss_kib)) && zq_rss_kib=$rss
    check_output "zqcrypt decrypt"

    start=$(now)
    head -c "-$TRAILER" "$work/container" | openssl enc -d -rc4 -K "$rc4_key" "${PROVIDERS[@]}" >"$work/out"
    ossl_times+=("$(elapsed "$start" "$(now)")")
    check_output "the openssl pipeline"
done

speeds=()
for ((run = 1; run <= RUNS; run++)); do
    # The last line reads "rc4  <thousands of bytes per second>k".
    line=$(openssl speed -evp rc4 -bytes 1048576 -seconds 2 "${PROVIDERS[@]}" 2>/dev/null | tail -n 1)
    speeds+=("$(awk '{ v = $NF; sub(/k$/, "", v); printf "%.0f", v * 1000 }' <<<"$line")")
done

zq=$(printf '%s\n' "${zq_times[@]}" | median)
zq_cpu_median=$(printf '%s\n' "${zq_cpu[@]}" | median)
ossl=$(printf '%s\n' "${ossl_times[@]}" | median)
cipher=$(printf '%s\n' "${speeds[@]}" | median)

awk -v size="$size" -v runs="$RUNS" -v zq="$zq" -v ossl="$ossl" -v cipher="$cipher" -v rss="$zq_rss_kib" \
    -v size_text="$size_text" -v cpu="$zq_cpu_median" -v load="$(cut -d' ' -f1-3 /proc/loadavg)" \
    -v cores="$(nproc)" 'BEGIN {
    mb = 1000000
    printf "\nMedians of %d runs, container of %s:\n", runs, size_text
    printf "  %-34s %8.3f s  %8.1f MB/s\n", "zqcrypt decrypt", zq, size / zq / mb
    printf "  %-34s %8.3f s  %8.1f MB/s\n", "head | openssl enc -d -rc4", ossl, size / ossl / mb
    printf "  %-34s %10s  %8.1f MB/s\n", "openssl speed -evp rc4 (1 MiB)", "", cipher / mb
    printf "\n"
    printf "  zqcrypt speed / cipher speed       %6.1f %%   (goal: at least 85 %%)\n", 100 * size / zq / cipher
    printf "  zqcrypt time / openssl pipeline    %6.2f     (goal: under 0.5)\n", zq / ossl
    printf "  zqcrypt peak resident memory       %6.1f MiB (goal: under 32 MiB)\n", rss / 1024
    printf "\n  zqcrypt CPU time (user + system)   %6.3f s; load average %s on %d cores\n", cpu, load, cores
    printf "  (openssl speed divides by CPU time, the others by wall-clock time: compare on an idle machine)\n"
}'

#!/usr/bin/env bash
# Measures zqcrypt against the two things that limit it, in one run: the
# cipher alone and the destination's own write speed.
#
#   bench/compare.sh                 1 GiB in /dev/shm, then 512 MiB in $TMPDIR (default /tmp)
#   bench/compare.sh SIZE FOLDER     one row: SIZE like 256M or 1G, written in FOLDER
#   SEED=N bench/compare.sh ...      the same order of measures as the run that printed seed N
#
# For each row it makes a plain file and its container in a temporary folder in
# FOLDER, then runs RUNS rounds (default 5), each one of these in an order
# shuffled anew each round:
#   - raw RC4: `openssl speed -elapsed -evp rc4 -bytes 1048576` through the
#     legacy provider, one thread, one 1 MiB buffer hot in cache, for at least
#     3 seconds; the time the cipher alone needs for SIZE bytes at that speed;
#   - `zqcrypt decrypt` of the container, wall time end to end;
#   - `zqcrypt encrypt` of the plain file, wall time end to end;
#   - `dd if=/dev/zero bs=1M conv=fsync` of SIZE bytes into the same folder.
# Interleaving the rounds spreads a busy machine's load over every measure
# alike, and shuffling them keeps any one measure from always following the
# same other one: whatever follows `openssl speed` runs slower. Before each
# timed command the disk's pending writes are flushed (sync), then twice SIZE
# of fresh memory is touched (written to /dev/shm and removed): on a virtual
# machine the host takes freed memory back and the first touch of it again is
# slow, which would otherwise fall on whichever measure needs it first. Every
# output is checked and removed between the timings, never within.
#
# It prints, per measure, the median, minimum and maximum time, and the share
# of the limit: the limit is the slower of raw RC4 and dd in the same round,
# the share is the limit's time over zqcrypt's (1.00: as fast as the limit).
# Load averages are taken before and after each row. The last lines are the
# README's table rows.
#
# Needs, and installs nothing: bash 5, coreutils, openssl with its legacy
# provider (Debian: openssl, libssl3), GNU time at /usr/bin/time (Debian:
# time), and a built zqcrypt: $ZQCRYPT, or build-test/ (./test.sh) or build/.
# Each row needs about four times SIZE free in its folder, and three times SIZE
# free in /dev/shm.
set -euo pipefail

readonly KEY="benchmark key"
readonly RUNS=${RUNS:-5}
readonly SPEED_SECONDS=3
readonly PROVIDERS=(-provider legacy -provider default)
# Seeds bash's own generator, which alone decides the order of the measures.
readonly SEED=${SEED:-$(od -An -N2 -tu2 /dev/urandom | tr -d ' ')}

fail() {
    echo "compare.sh: $*" >&2
    exit 1
}

cd "$(dirname "$0")/.."

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
[[ $SEED =~ ^[0-9]+$ ]] || fail "SEED must be a whole number: $SEED"

now() { echo "${EPOCHREALTIME/,/.}"; }

# Removes an output and waits until the file system has committed that, so
# that freeing a large file (and, on a disk mounted with discard, trimming it)
# is not charged to whichever measure comes next.
remove() {
    rm "$1"
    sync -f "$(dirname "$1")"
}
# Flushes what the disk still has to write, then touches twice the row's size
# of memory and gives it back, so that no timed command pays for either.
settle() {
    sync
    scratch=$(mktemp /dev/shm/zqcrypt-compare-memory.XXXXXX)
    dd if=/dev/zero of="$scratch" bs=1M count=$((2 * size)) iflag=count_bytes status=none
    rm "$scratch"
    scratch=
}

# Shuffles the array named $1 in place (Fisher-Yates), from $RANDOM; never in a
# subshell, whose draws would not move this shell's generator on.
shuffle() {
    local -n items=$1
    local i j swap
    for ((i = ${#items[@]} - 1; i > 0; i--)); do
        j=$((RANDOM % (i + 1)))
        swap=${items[i]} items[i]=${items[j]} items[j]=$swap
    done
}

elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", b - a }'; }
load() { cut -d' ' -f1-3 /proc/loadavg; }
# "median min max" of the arguments.
row() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        print m, v[1], v[NR] }'
}

# The seconds raw RC4 needs for $1 bytes, at the wall-clock speed openssl
# measures over one 1 MiB buffer.
raw_rc4_seconds() {
    local line
    # The last line reads "rc4  <thousands of bytes per second>k".
    line=$(openssl speed -elapsed -evp rc4 -bytes 1048576 -seconds "$SPEED_SECONDS" "${PROVIDERS[@]}" 2>/dev/null |
        tail -n 1)
    awk -v size="$1" '{ v = $NF; sub(/k$/, "", v); if (v + 0 <= 0) exit 1; printf "%.4f", size / (v * 1000) }' \
        <<<"$line" || fail "openssl speed printed no rate: $line"
}

# Times one zqcrypt command; prints "seconds peak-KiB".
time_zqcrypt() {
    local start seconds
    start=$(now)
    ZQ_KEY=$KEY /usr/bin/time -f '%M' -o "$work/usage" "$zqcrypt" "$@"
    seconds=$(elapsed "$start" "$(now)")
    echo "$seconds $(tail -n 1 "$work/usage")"
}

# One row: $1 the size's text, $2 the folder.
measure() {
    local size_text=$1 folder=$2 size free_kib load_before run
    size=$(numfmt --from=iec "$size_text" 2>/dev/null) || fail "not a size: $size_text (try 256M or 1G)"
    ((size > 0)) || fail "the size must be at least one byte"
    if ! [ -d "$folder" ] || ! [ -w "$folder" ]; then
        fail "not a writable folder: $folder"
    fi
    work=$(mktemp -d "$folder/zqcrypt-compare.XXXXXX")
    free_kib=$(df -Pk "$work" | awk 'NR == 2 { print $4 }')
    ((free_kib * 1024 > 4 * size)) || fail "not enough room in $work for four files of $size_text"

    echo "== $size_text ($size bytes) in $work ($(df -PT "$work" | awk 'NR == 2 { print $2 }'))"
    # A PDF header before the noise, as a real attachment would have: the
    # decryption still asks libmagic what came out, but has no wrong key to report.
    header='%PDF-1.4'
    { printf '%s\n' "$header"; head -c "$((size - ${#header} - 1))" /dev/urandom; } >"$work/plain"
    ZQ_KEY=$KEY "$zqcrypt" encrypt -q "$work/plain" "$work/container"
    sync -f "$work/container"
    free_kib=$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')
    ((free_kib * 1024 > 3 * size)) || fail "not enough room in /dev/shm to touch twice $size_text of memory"

    local raw=() dec=() enc=() dd_times=() dec_share=() enc_share=() peak_kib=0
    local raw_s dec_s dec_kib enc_s enc_kib dd_s start limit measure order
    load_before=$(load)
    for ((run = 1; run <= RUNS; run++)); do
        order=(raw decrypt encrypt dd)
        shuffle order
        for measure in "${order[@]}"; do
            settle
            case $measure in
                raw) raw_s=$(raw_rc4_seconds "$size") ;;
                decrypt)
                    read -r dec_s dec_kib < <(time_zqcrypt decrypt -q "$work/container" "$work/out")
                    cmp -s "$work/plain" "$work/out" || fail "zqcrypt decrypt did not give back the plain file"
                    remove "$work/out"
                    ;;
                encrypt)
                    read -r enc_s enc_kib < <(time_zqcrypt encrypt -q "$work/plain" "$work/out")
                    [ "$(stat -c %s "$work/out")" = $((size + 13)) ] ||
                        fail "zqcrypt encrypt wrote a container of the wrong size"
                    if ((run == 1)); then
                        ZQ_KEY=$KEY "$zqcrypt" decrypt -q "$work/out" "$work/back"
                        cmp -s "$work/plain" "$work/back" || fail "zqcrypt encrypt made a container that does not decrypt"
                        remove "$work/back"
                    fi
                    remove "$work/out"
                    ;;
                dd)
                    start=$(now)
                    dd if=/dev/zero of="$work/dd" bs=1M count="$size" iflag=count_bytes conv=fsync status=none
                    dd_s=$(elapsed "$start" "$(now)")
                    remove "$work/dd"
                    ;;
            esac
        done

        ((dec_kib > peak_kib)) && peak_kib=$dec_kib
        ((enc_kib > peak_kib)) && peak_kib=$enc_kib
        limit=$(awk -v a="$raw_s" -v b="$dd_s" 'BEGIN { print (a > b) ? a : b }')
        raw+=("$raw_s") dec+=("$dec_s") enc+=("$enc_s") dd_times+=("$dd_s")
        dec_share+=("$(awk -v l="$limit" -v t="$dec_s" 'BEGIN { printf "%.3f", l / t }')")
        enc_share+=("$(awk -v l="$limit" -v t="$enc_s" 'BEGIN { printf "%.3f", l / t }')")
        printf '   round %d (%s): raw RC4 %s s, decrypt %s s, encrypt %s s, dd %s s\n' "$run" "${order[*]}" \
            "$raw_s" "$dec_s" "$enc_s" "$dd_s"
    done
    rm -rf "$work"
    work=

    local load_after
    load_after=$(load)
    awk -v size="$size" -v runs="$RUNS" -v size_text="$size_text" -v folder="$folder" \
        -v raw="$(row "${raw[@]}")" -v dec="$(row "${dec[@]}")" -v enc="$(row "${enc[@]}")" \
        -v dd="$(row "${dd_times[@]}")" -v dsh="$(row "${dec_share[@]}")" -v esh="$(row "${enc_share[@]}")" \
        -v peak="$peak_kib" -v before="$load_before" -v after="$load_after" -v cores="$(nproc)" 'BEGIN {
        printf "   %d shuffled rounds; load average %s before, %s after, on %d cores\n", runs, before, after, cores
        printf "   %-22s %9s %9s %9s %11s\n", "", "median", "min", "max", "MB/s (med)"
        line("raw RC4 (openssl)", raw); line("zqcrypt decrypt", dec); line("zqcrypt encrypt", enc)
        line("dd conv=fsync", dd)
        share("decrypt", dsh); share("encrypt", esh)
        printf "   peak resident memory of zqcrypt: %.1f MiB\n", peak / 1024
        split(raw, r, " "); split(dec, d, " "); split(enc, e, " "); split(dd, f, " ")
        split(dsh, ds, " "); split(esh, es, " ")
        printf "   | `%s`, %s | %.2f s (%.2f-%.2f) | %.2f s (%.2f-%.2f) | %.2f s (%.2f-%.2f) | %.2f s (%.2f-%.2f) | %.2f (%.2f-%.2f) | %.2f (%.2f-%.2f) | %s / %s |\n",
            folder, size_text, d[1], d[2], d[3], e[1], e[2], e[3], r[1], r[2], r[3], f[1], f[2], f[3],
            ds[1], ds[2], ds[3], es[1], es[2], es[3], before, after
    }
    function line(name, s,    v) {
        split(s, v, " ")
        printf "   %-22s %8.3fs %8.3fs %8.3fs %11.1f\n", name, v[1], v[2], v[3], size / v[1] / 1e6
    }
    function share(name, s,    v) {
        split(s, v, " ")
        printf "   share of the limit, %-8s %6.2f    (min %.2f, max %.2f)\n", name, v[1], v[2], v[3]
    }'
}

work=
scratch=
trap '[ -n "$work" ] && rm -rf "$work"; [ -n "$scratch" ] && rm -f "$scratch"' EXIT
echo "zqcrypt: $zqcrypt"
echo "order seed: $SEED (SEED=$SEED repeats this run's order of measures)"
RANDOM=$SEED
echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo), $(uname -sr)"
if [ $# -eq 0 ]; then
    measure 1G /dev/shm
    measure 512M "${TMPDIR:-/tmp}"
elif [ $# -eq 2 ]; then
    measure "$1" "$2"
else
    fail "usage: bench/compare.sh [SIZE FOLDER]"
fi

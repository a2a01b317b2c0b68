#!/usr/bin/env bash
# Builds the Debian package with ./package.sh, checks it with the
# distribution's own tools (desktop-file-validate, appstreamcli, lintian) and
# asks apt whether it would install it, and whether the file managers' menu
# items are where they look. Then it unpacks the package into a
# temporary root and runs what it installed from there: zqcrypt decrypts the
# test vectors, ZQDecoder stays up until SIGTERM ends it, and both manual
# pages open.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

zq_install_packages "${ZQ_PACKAGE_CHECK_PACKAGES[@]}"

start=$SECONDS
deb=$(./package.sh)
echo "=== package.sh took $((SECONDS - start)) s: $deb"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$deb" "$root"
app_id=org.example.ZQDecoder

passed=0
failed=0
check() {
    local what=$1
    shift
    echo "--- $what"
    if "$@"; then
        passed=$((passed + 1))
    else
        echo "FAILED: $what"
        failed=$((failed + 1))
    fi
}

# desktop-file-validate exits 0 on warnings; only its hints are let through.
desktop_entry_valid() {
    local report
    report=$(desktop-file-validate "$root/usr/share/applications/$app_id.desktop" 2>&1) || {
        echo "$report"
        return 1
    }
    echo "$report"
    ! grep -v ': hint: ' <<<"$report" | grep -q .
}

# Each container of tests/data/vectors, decrypted by the installed zqcrypt
# with its key (Windows-1252 bytes in the table, UTF-8 in ZQ_KEY).
vectors_decrypt() {
    local vectors=tests/data/vectors name key_hex plain container rest key count=0
    mkdir -p "$work/out"
    while IFS=$'\t' read -r name key_hex plain container rest; do
        [ "$name" = name ] && continue
        key=$(printf '%b' "$(sed 's/../\\x&/g' <<<"$key_hex")" | iconv -f WINDOWS-1252 -t UTF-8)
        if ! ZQ_KEY=$key "$root/usr/bin/zqcrypt" decrypt -q "$vectors/$container" "$work/out/$name"; then
            echo "zqcrypt could not decrypt $container"
            return 1
        fi
        cmp "$vectors/$plain" "$work/out/$name" || return 1
        count=$((count + 1))
    done <"$vectors/vectors.tsv"
    echo "decrypted $count vectors"
    [ "$count" -gt 0 ]
}

# The window program, on the offscreen platform with a home of its own, must
# still run after 3 seconds and end within 5 more once sent SIGTERM.
window_runs_until_terminated() {
    mkdir -p "$work/home"
    HOME=$work/home XDG_CONFIG_HOME=$work/home/.config QT_QPA_PLATFORM=offscreen "$root/usr/bin/ZQDecoder" &
    local pid=$! status=0 waited=0
    sleep 3
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid" || status=$?
        echo "ZQDecoder ended by itself within 3 seconds (status $status)"
        return 1
    fi
    kill -TERM "$pid"
    while kill -0 "$pid" 2>/dev/null && [ "$waited" -lt 50 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"
        wait "$pid" || true
        echo "ZQDecoder still ran 5 seconds after SIGTERM"
        return 1
    fi
    wait "$pid" || status=$?
    echo "ZQDecoder ended on SIGTERM with status $status"
    [ "$status" -eq 143 ] || [ "$status" -eq 0 ]
}

# apt finds every dependency among the packages of the distribution.
apt_would_install() {
    apt-get install --simulate -q "$deb" >"$work/apt" 2>&1 || {
        cat "$work/apt"
        return 1
    }
    grep '^Inst ' "$work/apt" || true
    grep -q '^Inst zq-decoder ' "$work/apt"
}

# Qt's Wayland plugin comes with the package, unless recommendations are
# turned off: without it, a Wayland desktop without Xwayland shows nothing.
# The list goes to the descriptor that is already open: reopening standard
# error by name would truncate a log that it was redirected to.
recommends_wayland() {
    local recommends
    recommends=$(dpkg-deb -f "$deb" Recommends) || return 1
    printf 'Recommends: %s\n' "$recommends" >&2
    grep -qw qt6-wayland <<<"$recommends"
}

# "Decode with ZQ Decoder" sits where GNOME Files (nautilus-python) and
# Dolphin (KIO) look for menu items, readable by all; under /usr/share KIO
# asks for no executable bit.
menu_items_installed() {
    local file mode
    for file in nautilus-python/extensions/zqdecoder_decode.py kio/servicemenus/zqdecoder-decode.desktop; do
        mode=$(stat -c %a "$root/usr/share/$file") || return 1
        echo "/usr/share/$file $mode"
        [ "$mode" = 644 ] || return 1
    done
}

# The GNOME Files item works only with nautilus-python.
suggests_nautilus_python() {
    local suggests
    suggests=$(dpkg-deb -f "$deb" Suggests)
    echo "Suggests: $suggests"
    grep -qw python3-nautilus <<<"$suggests"
}

# man opens the page without a warning from the formatter, and shows its
# title and what the page is about.
manual_page_opens() {
    local page=$1 expected=$2 text
    text=$(MANPAGER=cat MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page" 2>"$work/man-errors") || return 1
    if [ -s "$work/man-errors" ]; then
        cat "$work/man-errors"
        return 1
    fi
    grep -qF "$expected" <<<"$text"
}

check "desktop-file-validate" desktop_entry_valid
check "appstreamcli validate" appstreamcli validate --no-net --strict "$root/usr/share/metainfo/$app_id.metainfo.xml"
check "appstreamcli validate-tree" appstreamcli validate-tree --no-net "$root"
check "lintian" lintian --display-info --fail-on error,warning "$deb"
check "apt-get install --simulate" apt_would_install
check "recommends qt6-wayland" recommends_wayland
check "file manager menu items installed" menu_items_installed
check "suggests python3-nautilus" suggests_nautilus_python
check "zqcrypt decrypts the test vectors" vectors_decrypt
check "ZQDecoder runs until SIGTERM" window_runs_until_terminated
check "man -l ZQDecoder.1.gz" manual_page_opens ZQDecoder.1.gz "Decode Attachments"
check "man -l zqcrypt.1.gz" manual_page_opens zqcrypt.1.gz "ZQ_KEY"

echo "=== package checks took $((SECONDS - start)) s"
echo "package checks: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# The built ZQDecoder on Wayland, under a headless Weston: it shows its main
# window under the desktop entry's app id, and SIGTERM ends it with the
# remembered key saved again. Without a display it says so and ends with
# status 1. Weston failing to start fails the test.
# Usage: wayland_smoke_test.sh ZQDECODER ZQCRYPT
set -euo pipefail
program=$1 zqcrypt=$2

work=$(mktemp -d)
weston_pid=
cleanup() {
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*"
    for log in "$work"/*.log; do echo "--- $log" && tail -n 20 "$log"; done
    exit 1
}

export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME" "$work/app"
weston --backend=headless-backend.so --socket=zq-wayland --idle-time=0 --log="$work/weston.log" &
weston_pid=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/zq-wayland" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/zq-wayland" ] || fail "Weston did not start"

# A copy in a private folder keeps its key file beside it, away from the build's.
cp "$program" "$work/app/ZQDecoder"
key_file=$work/app/zqdecode.dat
{ printf 'smoke key' | ZQ_KEY=UDEMROKSAV "$zqcrypt" encode-text --raw && printf '\r\n'; } >"$key_file"
cp "$key_file" "$work/remembered"
touch -d @0 "$key_file"

# Mesa's EGL driver, loaded ahead so that it is never unloaded: what it keeps
# until exit stays reachable, or at least named by its library, for
# LeakSanitizer, which reports after the driver would have gone and would
# otherwise show an "<unknown module>" that no suppression can tell from our
# code. That is the vendor library that glvnd names and, up to Mesa 24.1, the
# DRI driver it loads (one file under each driver's name, so the software
# one stands for all); later vendor libraries link their driver. Nothing is
# loaded where Mesa's EGL is missing.
mesa_egl_driver() {
    local libdir json name
    libdir=$(ldd "$program" | awk '$1 == "libEGL.so.1" { print $3 }')
    [ -n "$libdir" ] || return 0
    libdir=$(dirname "$(readlink -f "$libdir")")
    for json in /etc/glvnd/egl_vendor.d/*.json /usr/share/glvnd/egl_vendor.d/*.json; do
        [ -f "$json" ] || continue
        name=$(sed -n 's/.*"library_path" *: *"\([^"]*mesa[^"]*\)".*/\1/p' "$json")
        case $name in
        "") ;;
        /*) [ -f "$name" ] && printf '%s:' "$name" ;;
        *) [ -f "$libdir/$name" ] && printf '%s:' "$libdir/$name" ;;
        esac
    done
    [ -f "$libdir/dri/swrast_dri.so" ] && printf '%s' "$libdir/dri/swrast_dri.so"
    return 0
}
preload=$(mesa_egl_driver)

# WAYLAND_DEBUG logs the client's requests: the window is shown once a
# buffer is attached after the desktop's first configure was acknowledged.
LD_PRELOAD=${LD_PRELOAD:+$LD_PRELOAD:}$preload WAYLAND_DISPLAY=zq-wayland QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
    "$work/app/ZQDecoder" 2>"$work/client.log" &
pid=$!
shown() { awk '/ack_configure/ { acked = 1 } acked && /wl_surface@[0-9]+\.attach\(wl_buffer/ { found = 1; exit } END { exit !found }' "$work/client.log"; }
for _ in $(seq 200); do shown && break; kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
shown || fail "the main window was never shown"
grep -q 'set_app_id("org.example.ZQDecoder")' "$work/client.log" || fail "the app id is not the desktop entry's"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "ZQDecoder ended with status $status on SIGTERM"
[ "$(stat -c %Y "$key_file")" -ne 0 ] || fail "the key file was not saved at the end"
cmp "$work/remembered" "$key_file" || fail "the saved key is not the remembered one"

# No display at all: a message of the program's own and status 1, not an abort.
status=0
WAYLAND_DISPLAY=zq-none QT_QPA_PLATFORM=wayland "$work/app/ZQDecoder" 2>"$work/none.log" || status=$?
[ "$status" -eq 1 ] || fail "without a display ZQDecoder ended with status $status"
grep -q '^ZQDecoder: no window can be opened here' "$work/none.log" || fail "no message without a display"
echo "passed"

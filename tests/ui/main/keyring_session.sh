#!/bin/sh
# Runs a test program on a private session bus of its own: with GNOME
# Keyring's secret service on it, unlocked with a test password on its
# standard input (--keyring), or with no keyring (--no-keyring). The keyring
# lives in a temporary home; the daemon and the bus end with the program.
# Fails when the keyring does not come up, so that its tests cannot pass
# without one.
#
#   keyring_session.sh --keyring|--no-keyring PROGRAM [ARGUMENT...]
set -eu
if [ -z "${ZQ_PRIVATE_SESSION:-}" ]; then
    export ZQ_PRIVATE_SESSION=1
    exec dbus-run-session -- "$0" "$@"
fi
home=$(mktemp -d)
keyring=
trap 'if [ -n "$keyring" ]; then kill "$keyring" 2>/dev/null || true; fi; rm -rf "$home"' EXIT
mkdir -m 0700 "$home/run"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run"

keyring_on_bus() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets | grep -q 'boolean true'
}

mode=$1
shift
if [ "$mode" = --keyring ]; then
    printf 'test password' | gnome-keyring-daemon --foreground --unlock --components=secrets >/dev/null &
    keyring=$!
    tries=0
    until keyring_on_bus; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ]; then
            echo "keyring_session.sh: gnome-keyring-daemon did not come on the session bus" >&2
            exit 1
        fi
        sleep 0.1
    done
fi
"$@"

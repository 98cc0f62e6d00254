#!/bin/sh
# Runs a test program in a private D-Bus session with a Secret Service of its own (the GNOME
# keyring, unlocked, in a temporary home), so that no test ever sees the keyring of whoever runs
# it. Where the daemon is not installed the program is told so (PLXTEST_SECRET_STORE=missing).
set -eu
if ! command -v dbus-run-session >/dev/null 2>&1 || ! command -v gnome-keyring-daemon >/dev/null 2>&1; then
    PLXTEST_SECRET_STORE=missing exec "$@"
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
export HOME="$home" XDG_DATA_HOME="$home/share" XDG_RUNTIME_DIR="$home/run" PLXTEST_SECRET_STORE=1
status=0
dbus-run-session -- sh -c 'printf %s plxtest | gnome-keyring-daemon --unlock --components=secrets >/dev/null && "$@"' \
    sh "$@" || status=$?
exit $status

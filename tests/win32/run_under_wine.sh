#!/usr/bin/env bash
# Runs a Windows test program under Wine: a Wine prefix of its own in a
# temporary folder, made once per run with no question or dialog, on a
# virtual X display started here (real Win32 windows need one).
# Usage: run_under_wine.sh <wine> <Xvfb> <program.exe> [arguments...]
set -euo pipefail
wine=$1 xvfb=$2
shift 2
tmp=$(mktemp -d)
xvfb_pid=""
cleanup() {
    # The prefix's own server only; others' Wine sessions are left alone.
    WINEPREFIX="$tmp/prefix" wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

"$xvfb" -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$tmp/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.2
done
[ -s "$tmp/display" ] || { echo "Xvfb did not start" >&2; exit 1; }

mkdir -p "$tmp/home"
export DISPLAY=":$(cat "$tmp/display")" HOME="$tmp/home" WINEPREFIX="$tmp/prefix"
export WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko installer, and no desktop menu entries in the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
"$wine" wineboot --init >/dev/null 2>&1
"$wine" "$@"

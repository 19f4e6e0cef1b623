#!/usr/bin/env bash
# Runs a Windows test program under Wine: a Wine prefix of its own, made with
# no question or dialog, on a virtual X display started here (real Win32
# windows need one). With VELTRO_WINE_CACHE set, the prefix is kept in that
# folder and made again only after a run that did not pass: making it is
# most of a run's time. Otherwise it is made afresh in a temporary folder.
# Usage: run_under_wine.sh <wine> <Xvfb> <program.exe> [arguments...]
set -euo pipefail
wine=$1 xvfb=$2
shift 2
tmp=$(mktemp -d)
cache=${VELTRO_WINE_CACHE:-}
where=${cache:-$tmp}
if [ -n "$cache" ]; then
    # A run that failed or was killed may have left it half made.
    [ -f "$cache/passed" ] || rm -rf "$cache"
    rm -f "$cache/passed"
fi
xvfb_pid=""
cleanup() {
    # The prefix's own server only; others' Wine sessions are left alone.
    WINEPREFIX="$where/prefix" wineserver -k 2>/dev/null || true
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

mkdir -p "$where/home"
export DISPLAY=":$(cat "$tmp/display")" HOME="$where/home" WINEPREFIX="$where/prefix"
export WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko installer, and no desktop menu entries in the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1
"$wine" "$@"
touch "$where/passed"

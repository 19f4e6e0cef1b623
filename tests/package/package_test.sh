#!/usr/bin/env bash
# Builds the .deb, checks it with lintian, desktop-file-validate and
# appstreamcli, unpacks it into a root whose program folder is read-only and
# runs the unpacked panel as an ordinary user against the unpacked simulator,
# its window driven with real X input on the display DISPLAY names.
# Usage: with_x_display package_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
sim_pid=""
panel_pid=""
cleanup() {
    # Waited for: the simulator removes its link as it exits, racing rm.
    for pid in $panel_pid $sim_pid; do
        { kill "$pid" && wait "$pid"; } 2>/dev/null || true
    done
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null) || fail "cpack"
deb=$(ls "$work"/out/veltro-panel_*.deb)
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"
dpkg-deb -f "$deb" Depends | grep libqt6 >/dev/null || fail "dependencies not computed from the binaries"

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/veltro-panel.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/veltro-panel.metainfo.xml" ||
    fail "metainfo"
for size in 16 32 48 64 128 256; do
    [ -s "$root/usr/share/icons/hicolor/${size}x${size}/apps/veltro-panel.png" ] ||
        fail "icon $size"
done
# grep reads to the end: -q would stop at the match, and under pipefail the
# writer's SIGPIPE would fail the check.
"$root/usr/bin/veltro-panel" --help | grep 'veltro-panel/config.ini' >/dev/null || fail "panel --help"
"$root/usr/bin/veltro-meter-sim" --help | grep 'veltro-panel' >/dev/null || fail "sim --help"
"$root/usr/bin/veltro-mqtt" --help | grep 'veltro/<id>/' >/dev/null || fail "veltro-mqtt --help"
grep -q '^Restart=always$' "$root/usr/lib/systemd/user/veltro-mqtt.service" || fail "user unit"

# The operator: an ordinary user with a home of their own.
home="$work/home"
mkdir -p "$home/run"
chmod 755 "$work"
chmod 700 "$home/run"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$home"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
chmod -R a-w "$root"
# Starts a program in the background as the operator. The background job is
# env itself, which becomes the program, so $! is the program's own id and
# the cleanup's kill reaches it (a backgrounded function would leave it to a
# subshell that dies alone).
spawn() {
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_RUNTIME_DIR="$home/run" DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb "${as_user[@]}" "$@" &
}
config="$home/.config/veltro-panel/config.ini"
touch "$work/marker"

# Deadlines are generous: the machine may be loaded.
wait_until() {
    for _ in $(seq 600); do
        eval "$1" && return 0
        sleep 0.1
    done
    return 1
}
start_panel() {
    spawn "$root/usr/bin/veltro-panel" >"$work/panel.log" 2>&1
    panel_pid=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "Veltro Virtual Control Panel" |
        head -n 1) || fail "no panel window"
}
close_panel() {
    kill -"${1:-TERM}" "$panel_pid"  # TERM closes the window as its close box does
    wait "$panel_pid" || true
    panel_pid=""
}
height() { xdotool getwindowgeometry --shell "$window" | sed -n 's/^HEIGHT=//p'; }
polls() { grep -c "received" "$work/sim.log" || true; }
small=$'^mnuSmall=True\r$'

# First start: no file anywhere; the defaults go to the per-user folder.
start_panel
wait_until '[ -f "$config" ]' || fail "no per-user config.ini"
grep -q $'^ComPort=Com01\r$' "$config" || fail "default file"
grep -q $'^mnuSmall=False\r$' "$config" || fail "default style"
# Ended without a close, which would save the window's own first state over
# the defaults: the next start runs on them, at the simulated meter's speed.
close_panel KILL

spawn "$root/usr/bin/veltro-meter-sim" --steady >"$work/sim.out" 2>"$work/sim.log"
sim_pid=$!
wait_until '[ -s "$work/sim.out" ]' || fail "simulator did not start"
[ -L "$home/.config/veltro-panel/ports/com1" ] || fail "simulator link not in the per-user folder"

# Second start: it polls through ports/com1; Style > Small from the keyboard.
start_panel
wait_until '[ "$(polls)" -gt 0 ]' || fail "the panel did not poll through ports/com1"
setup_height=$(height)
xdotool windowactivate --sync "$window"
xdotool key --delay 150 alt+s Return
wait_until 'grep -q "$small" "$config"' || fail "Style change not saved"
wait_until '[ "$(height)" != "$setup_height" ]' || fail "window kept its height"
close_panel

# Third start: its close saves what the window holds, so the file it writes
# keeps Small only if the start loaded it.
touch "$work/before-third"
before=$(polls)
start_panel
# A few more polls than before: the simulator may still log the last ones
# of the previous run.
wait_until '[ "$(polls)" -gt $((before + 5)) ]' || fail "third start did not poll"
close_panel
[ "$config" -nt "$work/before-third" ] || fail "no save on close"
grep -q "$small" "$config" || fail "Style lost on restart"
[ "$(wc -l <"$config")" -eq 14 ] || fail "config.ini not whole"

[ -z "$(find "$root" -newer "$work/marker")" ] || fail "written into the program's folder"
echo "package test passed: $deb"

#!/usr/bin/env bash
# Builds the .deb, checks it with lintian, desktop-file-validate and
# appstreamcli, unpacks it into a root whose program folder is read-only and
# runs the unpacked panel as an ordinary user against the unpacked simulator.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null) || fail "cpack"
deb=$(ls "$work"/out/veltro-panel_*.deb)
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"
dpkg-deb -f "$deb" Depends | grep -q libqt6 || fail "dependencies not computed from the binaries"

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/veltro-panel.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/veltro-panel.metainfo.xml" ||
    fail "metainfo"
for size in 16 32 48 64 128 256; do
    [ -s "$root/usr/share/icons/hicolor/${size}x${size}/apps/veltro-panel.png" ] ||
        fail "icon $size"
done
"$root/usr/bin/veltro-panel" --help | grep -q 'veltro-panel/config.ini' || fail "panel --help"
"$root/usr/bin/veltro-meter-sim" --help | grep -q 'veltro-panel' || fail "sim --help"

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
run() {
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen "${as_user[@]}" "$@"
}
config="$home/.config/veltro-panel/config.ini"
touch "$work/marker"

# Runs the panel until `until` holds (or 30 s pass), then closes it by SIGTERM.
run_panel() {
    local until=$1
    run "$root/usr/bin/veltro-panel" >"$work/panel.log" 2>&1 &
    local pid=$!
    for _ in $(seq 300); do
        eval "$until" && break
        sleep 0.1
    done
    kill -TERM "$pid"
    wait "$pid" || true
}

# First start: no file anywhere; the defaults go to the per-user folder.
run_panel '[ -f "$config" ]'
[ -f "$config" ] || fail "no per-user config.ini"
grep -q $'^ComPort=Com01\r$' "$config" || fail "default file"

run "$root/usr/bin/veltro-meter-sim" --steady >"$work/sim.out" 2>"$work/sim.log" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
[ -L "$home/.config/veltro-panel/ports/com1" ] || fail "simulator link not in the per-user folder"

# A setting changed in the file the panel uses survives its own save.
run sed -i 's/^Pollrate=100\r$/Pollrate=700\r/' "$config"
run_panel 'grep -q "received" "$work/sim.log"'
grep -q "received" "$work/sim.log" || fail "the panel did not poll through ports/com1"
grep -q $'^Pollrate=700\r$' "$config" || fail "Pollrate lost on save"
[ "$(wc -l <"$config")" -eq 14 ] || fail "config.ini not whole"

[ -z "$(find "$root" -newer "$work/marker")" ] || fail "written into the program's folder"
echo "package test passed: $deb"

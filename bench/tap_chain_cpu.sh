#!/bin/sh
# veltro-mqtt's CPU in the real chain: the paced simulated meter, the tap
# publishing to a real mosquitto, and the panel polling at Pollrate=50
# (offscreen). Prints the tap's share of one core over the run, and the polls
# the meter answered; then the same with no panel (the tap polling alone).
# Usage: bench/tap_chain_cpu.sh BUILD_DIR [SECONDS]
set -eu
build=$1 seconds=${2:-30}
dir=$(mktemp -d)
pids=""
trap 'for p in $pids; do kill $p 2>/dev/null || true; done; wait 2>/dev/null; rm -rf "$dir"' EXIT
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\nuser %s\n' "$port" "$(id -un)" >"$dir/mosquitto.conf"
mosquitto -c "$dir/mosquitto.conf" 2>/dev/null &
pids="$pids $!"
mkdir -p "$dir/meter" "$dir/panel"
"$build/bin/veltro-meter-sim" --dir "$dir/meter" --steady </dev/null >/dev/null 2>"$dir/sim.log" &
pids="$pids $!"
sleep 1
"$build/bin/veltro-mqtt" --device "$dir/meter/ports/com1" --dir "$dir/panel" --broker-port "$port" --id cpu \
    2>"$dir/tap.log" &
tap=$!
pids="$pids $tap"
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
measure() {
    before=$(ticks "$tap") polls=$(grep -c 'received "P"' "$dir/sim.log" || true)
    sleep "$seconds"
    after=$(ticks "$tap") polls2=$(grep -c 'received "P"' "$dir/sim.log" || true)
    hz=$(getconf CLK_TCK)
    echo "$1: tap CPU $(echo "$after $before $hz $seconds" | awk '{ printf "%.2f", 100 * ($1 - $2) / $3 / $4 }') % of a core over ${seconds} s, meter answered $(((polls2 - polls) / seconds)) polls/s"
}
sleep 1
measure "alone (no panel)"
cp "$build/bin/veltro-panel" "$dir/panel/"
printf 'Position-Left=300\r\nPosition-Top=200\r\nPwrMode=0\r\nHeight=5145\r\nmnuSetup=True\r\nmnuSmall=False\r\nmnuVector=False\r\nComPort=Com01\r\nPollrate=50\r\nRange=3\r\nCheck1=0\r\nOnTop=0\r\nVersion=1\r\nHiPwr=0\r\n' >"$dir/panel/config.ini"
mkdir -m 700 "$dir/run"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$dir/xdg" XDG_RUNTIME_DIR="$dir/run" "$dir/panel/veltro-panel" &
pids="$pids $!"
sleep 2
measure "panel at Pollrate=50"

#!/bin/sh
# Peak memory of the panel while the simulated meter floods its line, at a
# given poll rate; then whether the next good frame is accepted again.
# Usage: bench/flood_memory.sh BUILD_DIR POLLRATE [SECONDS]
set -eu
build=$1 rate=$2 seconds=${3:-12}
dir=$(mktemp -d)
trap 'kill $panel $sim 2>/dev/null; rm -rf "$dir" 2>/dev/null || true' EXIT
cp "$build/bin/veltro-panel" "$dir/"
printf 'Position-Left=300\r\nPosition-Top=200\r\nPwrMode=0\r\nHeight=5145\r\nmnuSetup=True\r\nmnuSmall=False\r\nmnuVector=False\r\nComPort=Com01\r\nPollrate=%s\r\nRange=3\r\nCheck1=0\r\nOnTop=0\r\nVersion=1\r\nHiPwr=0\r\n' "$rate" >"$dir/config.ini"
mkfifo "$dir/control"
"$build/bin/veltro-meter-sim" --dir "$dir" --steady <"$dir/control" >/dev/null 2>"$dir/sim.log" &
sim=$!
exec 3>"$dir/control"
sleep 1
mkdir -m 700 "$dir/run"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$dir/xdg" XDG_RUNTIME_DIR="$dir/run" "$dir/veltro-panel" &
panel=$!
ini="$dir/run/RAREduzo/RAREduzo.ini"
until grep -q 'Reading=50.0' "$ini" 2>/dev/null; do sleep 0.2; done
echo "flood $((seconds * 1000))" >&3
sleep "$seconds"
peak=$(awk '/VmHWM/ {print $2}' /proc/$panel/status)
rm -f "$ini"
waited=0
until grep -q 'Reading=50.0' "$ini" 2>/dev/null || [ $waited -ge 300 ]; do sleep 0.1; waited=$((waited + 1)); done
flooded=$(grep -c "flooding" "$dir/sim.log" || true); tail -3 "$dir/sim.log" >&2
echo "Pollrate=$rate flood=${seconds}s peak=${peak}kB next-frame-accepted=$(grep -q 'Reading=50.0' "$ini" 2>/dev/null && echo yes || echo no) floods=$flooded"

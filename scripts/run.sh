#!/usr/bin/env bash
# Builds the panel and the simulated meter, starts the simulator on port 1 in
# the panel's folder and the panel connected to it. Without a display the
# panel runs on a virtual X display and a screenshot of the live window is
# saved after a few seconds. Ctrl-C (or closing the window) stops both.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/deps.sh"
source "$here/scripts/xvfb.sh"
veltro_install_deps
veltro_build veltro-panel veltro-meter-sim
bin="$build/bin"

# The panel writes a default file and stays unconnected when it finds none;
# seed the default settings (port 1) so this demonstration connects, with the
# Setup view's own height: the default file's is a few pixels short of it.
if [ ! -f "$bin/config.ini" ]; then
    printf '%s\r\n' Position-Left=5130 Position-Top=2955 PwrMode=0 Height=5250 \
        mnuSetup=True mnuSmall=False mnuVector=False ComPort=Com01 Pollrate=100 \
        Range=3 Check1=0 OnTop=0 Version=1 HiPwr=0 >"$bin/config.ini"
    echo "Seeded $bin/config.ini for port 1"
fi

sim_pid="" panel_pid="" xvfb_pid=""
stop() {
    trap - INT TERM EXIT
    [ -n "$panel_pid" ] && kill -TERM "$panel_pid" 2>/dev/null && wait "$panel_pid" 2>/dev/null
    [ -n "$sim_pid" ] && kill -TERM "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    true
}
trap stop EXIT
trap 'stop; exit 130' INT TERM

"$bin/veltro-meter-sim" 2>"$build/meter-sim.log" >"$build/meter-sim.out" &
sim_pid=$!
device=""
for _ in $(seq 50); do
    device=$(head -n 1 "$build/meter-sim.out" 2>/dev/null || true)
    [ -n "$device" ] && break
    kill -0 "$sim_pid" 2>/dev/null || { cat "$build/meter-sim.log" >&2; exit 1; }
    sleep 0.1
done
echo "Simulated meter on $device (linked as $bin/ports/com1); its log: $build/meter-sim.log"

screenshot=""
if [ -z "${DISPLAY:-}" ]; then
    veltro_start_xvfb "$build/xvfb.log" || exit 1
    screenshot="$build/screenshots/panel.png"
    echo "No display: the panel runs on the virtual display $DISPLAY"
fi

"$bin/veltro-panel" &
panel_pid=$!
echo "Panel running (pid $panel_pid). Ctrl-C stops it and the simulator."

if [ -n "$screenshot" ]; then
    sleep 5
    mkdir -p "$(dirname "$screenshot")"
    if import -window "Veltro Virtual Control Panel" "$screenshot" 2>/dev/null ||
        import -window root "$screenshot"; then
        echo "Screenshot of the live window: $screenshot"
    fi
fi

wait "$panel_pid" || true
panel_pid=""

#!/usr/bin/env bash
# The running panel as its users feel it, beside a floor: veltro-panel and
# veltro-bench-floor (a bare Qt window polling the same kind of device) run
# alternately, each against its own simulated meter answering every poll at
# Pollrate=50, offscreen, first with a steady reading, then with a moving
# station. Alternating spreads the load of other programs on the machine over
# both sides alike. Prints each run's CPU (share of one core after a settling
# time), peak RSS, polls and bytes written to disk (/proc/PID/io write_bytes)
# per second, the median ratios panel/floor, and the time from start to the
# first "Reading" at Pollrate=100. The panel publishes into a runtime folder
# in memory (/dev/shm), as in a desktop session.
#
#   bench/compare_floor.sh [BUILD_DIR]      (default: build)
#   PAIRS=3 RUN_SECONDS=10 SETTLE_SECONDS=2 STARTS=5 to change the counts
set -euo pipefail

bin="$(cd "${1:-build}/bin" && pwd)"
pairs=${PAIRS:-3}
run_seconds=${RUN_SECONDS:-10}
settle_seconds=${SETTLE_SECONDS:-2}
starts=${STARTS:-5}
for program in veltro-panel veltro-meter-sim veltro-bench-floor; do
    [[ -x "$bin/$program" ]] || { echo "missing $bin/$program (build it first)" >&2; exit 2; }
done
export QT_QPA_PLATFORM=offscreen

work="$(mktemp -d)"
runtime="$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)"  # made 0700, as Qt wants it
export XDG_RUNTIME_DIR="$runtime"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work" "$runtime"
}
trap cleanup EXIT

now_ns() { date +%s%N; }

# CPU time of every live thread of a process, in ns.
cpu_ns() {
    local total=0 run _
    for stat in /proc/"$1"/task/*/schedstat; do
        read -r run _ <"$stat" 2>/dev/null && total=$((total + run))
    done
    echo "$total"
}

disk_bytes() { awk '/^write_bytes:/ { print $2 }' "/proc/$1/io"; }

polls_received() { grep -cE 'received "(;P\?|P)"' "$1" || true; }

# A folder holding a copy of the panel (it keeps config.ini and ports/ beside
# itself) set to port 1 and the given poll interval.
prepare_folder() {
    local folder=$1 pollrate=$2
    mkdir -p "$folder"
    cp "$bin/veltro-panel" "$folder/"
    printf '%s\r\n' Position-Left=300 Position-Top=200 PwrMode=0 Height=5145 mnuSetup=True \
        mnuSmall=False mnuVector=False ComPort=Com01 "Pollrate=$pollrate" Range=3 Check1=0 \
        OnTop=0 Version=1 HiPwr=0 >"$folder/config.ini"
}

start_meter() {
    local folder=$1
    "$bin/veltro-meter-sim" --dir "$folder" --port 1 $meter_option >"$folder/sim.out" \
        2>"$folder/sim.log" &
    meter_pid=$!
    pids+=("$meter_pid")
    for _ in $(seq 500); do
        [[ -s "$folder/sim.out" ]] && break
        sleep 0.01
    done
    device="$(head -n1 "$folder/sim.out")"
}

stop() {
    kill -TERM "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# One run of `kind` (panel or floor); sets cpu, rss_kb, polls and disk.
measure() {
    local kind=$1 folder=$2
    prepare_folder "$folder" 50
    start_meter "$folder"
    if [[ $kind == panel ]]; then
        XDG_CONFIG_HOME="$folder/xdg" "$folder/veltro-panel" 2>/dev/null &
    else
        "$bin/veltro-bench-floor" "$device" 50 2>/dev/null &
    fi
    local pid=$!
    pids+=("$pid")
    sleep "$settle_seconds"
    local cpu0 polls0 disk0 t0 cpu1 polls1 disk1 t1
    cpu0=$(cpu_ns "$pid") polls0=$(polls_received "$folder/sim.log") disk0=$(disk_bytes "$pid")
    t0=$(now_ns)
    sleep "$run_seconds"
    cpu1=$(cpu_ns "$pid") polls1=$(polls_received "$folder/sim.log") disk1=$(disk_bytes "$pid")
    t1=$(now_ns)
    rss_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
    stop "$pid"
    stop "$meter_pid"
    cpu=$(awk -v c=$((cpu1 - cpu0)) -v t=$((t1 - t0)) 'BEGIN { printf "%.2f", 100 * c / t }')
    polls=$(awk -v n=$((polls1 - polls0)) -v t=$((t1 - t0)) 'BEGIN { printf "%.1f", n * 1e9 / t }')
    disk=$(awk -v n=$((disk1 - disk0)) -v t=$((t1 - t0)) 'BEGIN { printf "%.0f", n * 1e9 / t }')
    printf '%-6s %d   CPU %6s %%   peak RSS %7d kB   %5s polls/s   disk %6s B/s\n' "$kind" \
        "$pair" "$cpu" "$rss_kb" "$polls" "$disk"
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

for reading in steady moving; do
    meter_option=$([[ $reading == steady ]] && echo --steady || true)
    echo "$reading reading; load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
    cpu_ratios=() rss_ratios=() poll_ratios=() panel_disk=()
    for pair in $(seq "$pairs"); do
        measure panel "$work/$reading-panel$pair"
        panel_cpu=$cpu panel_rss=$rss_kb panel_polls=$polls panel_disk+=("$disk")
        measure floor "$work/$reading-floor$pair"
        cpu_ratios+=("$(ratio "$panel_cpu" "$cpu")")
        rss_ratios+=("$(ratio "$panel_rss" "$rss_kb")")
        poll_ratios+=("$(ratio "$panel_polls" "$polls")")
    done
    echo "$reading: median panel/floor: CPU $(median "${cpu_ratios[@]}")x   peak RSS" \
        "$(median "${rss_ratios[@]}")x   polls/s $(median "${poll_ratios[@]}")x   panel disk" \
        "writes $(median "${panel_disk[@]}") B/s"
done
meter_option=--steady

# Start to the first "Reading" in the published file, at Pollrate=100.
startup_ms=()
for start in $(seq "$starts"); do
    folder="$work/start$start"
    prepare_folder "$folder" 100
    start_meter "$folder"
    published="$runtime/RAREduzo/RAREduzo.ini"
    rm -f "$published"
    t0=$(now_ns)
    XDG_CONFIG_HOME="$folder/xdg" "$folder/veltro-panel" 2>/dev/null &
    pid=$!
    pids+=("$pid")
    until grep -qs '^Reading=' "$published"; do
        sleep 0.002
        (($(now_ns) - t0 < 20000000000)) || break
    done
    startup_ms+=("$((($(now_ns) - t0) / 1000000))")
    stop "$pid"
    stop "$meter_pid"
done
echo "first \"Reading\" after start at Pollrate=100: ${startup_ms[*]} ms" \
    "(median $(median "${startup_ms[@]}") ms)"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

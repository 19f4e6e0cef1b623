#!/bin/sh
# veltro-mqtt where a station starts it: idle with no broker (CPU, wake-ups and
# memory over a span), then each unusable file it may be given (time to its
# one line and exit, peak memory).
# Usage: bench/tap_start.sh BUILD_DIR [SECONDS]
set -eu
build=$1 seconds=${2:-10}
dir=$(mktemp -d)
trap 'kill $tap $sim 2>/dev/null; rm -rf "$dir" 2>/dev/null || true' EXIT
tap=0
mkdir "$dir/meter" "$dir/panel"
"$build/bin/veltro-meter-sim" --dir "$dir/meter" --steady >/dev/null 2>&1 &
sim=$!
sleep 1
# A port nothing listens on: the broker is "down" for the whole span.
"$build/bin/veltro-mqtt" --device "$dir/meter/ports/com1" --dir "$dir/panel" --id bench --broker-port 9 \
    2>"$dir/tap.log" &
tap=$!
sleep 2
ticks() { awk '{print $14 + $15}' /proc/$tap/stat; }
before=$(ticks)
timeout -s INT "$seconds" strace -f -c -p $tap -e trace=poll,ppoll,read,connect 2>"$dir/calls" || true
after=$(ticks)
echo "idle, broker down, ${seconds}s: cpu=$(( (after - before) * 1000 / $(getconf CLK_TCK) ))ms" \
     "rss=$(awk '/VmRSS/ {print $2}' /proc/$tap/status)kB" \
     "log lines=$(grep -c . "$dir/tap.log" || true)"
awk '/poll|read|connect/ && $4 ~ /^[0-9]+$/ {print "  " $NF ": " $4 " calls"}' "$dir/calls"
kill $tap; tap=0
mkfifo "$dir/fifo"
head -c 70000 /dev/zero | tr '\0' '#' >"$dir/big.conf"
for args in "--config /dev/zero" "--config $dir/fifo" "--config $dir" "--config $dir/big.conf" \
            "-d /dev/null --user u --password-file /dev/zero" "-d /dev/null --user u --password-file $dir/fifo" \
            "-d /dev/null --cafile $dir/fifo" "-d /dev/null --cafile /dev/zero"; do
    out=$( /usr/bin/time -f '%e s %M kB' "$build/bin/veltro-mqtt" $args 2>&1 || true)
    echo "$args: $(echo "$out" | tail -1), exit line: $(echo "$out" | head -1 | cut -c1-60)"
done

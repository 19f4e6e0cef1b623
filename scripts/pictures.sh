#!/usr/bin/env bash
# Makes the README's pictures of the three views, docs/view-small.png,
# docs/view-vector.png and docs/view-setup.png, from the real panel connected
# to the simulated meter (a steady reading, so each run gives the same
# pictures), on a private virtual X display at 96 dpi with a window manager
# (openbox) framing the window. Each picture is the framed window, taken
# while the link lamp shows green.
# Usage: scripts/pictures.sh [FOLDER]   (default: docs/ of this checkout)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/deps.sh"
source "$here/scripts/xvfb.sh"
veltro_install_deps
veltro_build veltro-panel veltro-meter-sim
out="${1:-$here/docs}"
mkdir -p "$out"

work=$(mktemp -d)
sim_pid="" panel_pid="" wm_pid="" xvfb_pid=""
stop() {
    for pid in "$panel_pid" "$sim_pid" "$wm_pid" "$xvfb_pid"; do
        [ -n "$pid" ] && kill -TERM "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
    true
}
trap stop EXIT
trap 'exit 130' INT TERM
fail() {
    echo "pictures.sh: $*" >&2
    exit 1
}

# A copy of the panel in a folder of its own, so its config.ini and ports/
# leave build/bin's alone; a private runtime folder for the published file.
cp "$build/bin/veltro-panel" "$work/"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
published="$XDG_RUNTIME_DIR/RAREduzo/RAREduzo.ini"
# The same size whatever the calling desktop asks for.
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR \
    QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI QT_STYLE_OVERRIDE
export QT_QPA_PLATFORM=xcb

veltro_start_xvfb "$work/xvfb.log" || exit 1
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
# openbox owns the screen once it announces the frame extents it sets.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_FRAME_EXTENTS && break
    sleep 0.1
done

"$build/bin/veltro-meter-sim" --steady --dir "$work" >"$work/sim.out" 2>"$work/sim.log" &
sim_pid=$!
for _ in $(seq 50); do
    [ -s "$work/sim.out" ] && break
    kill -0 "$sim_pid" 2>/dev/null || fail "the simulated meter did not start: $(cat "$work/sim.log")"
    sleep 0.1
done

# The published values, read as the README shows another program how to:
# the INI format quotes a reading with a leading blank (Reading=" 9.5").
published_active() {
    awk -F= '$1 == "Active" { print $2 }' "$published" 2>/dev/null || true
}
published_reading() {
    awk -F= '$1 == "Reading" { gsub(/"/, "", $2); print $2 + 0 }' "$published" 2>/dev/null || true
}

# How many pixels of the link lamp's column (at x 336 to 352 of the client
# area, the lamp's place at 96 dpi) are lamp green, and how many lamp red.
lamp_colours() {  # SCREEN_PNG X Y HEIGHT
    convert "$1" -crop "17x$4+$(($2 + 336))+$3" -depth 8 txt:- | awk '
        NR > 1 && match($0, /\([^)]*\)/) {
            t = substr($0, RSTART + 1, RLENGTH - 2); gsub(/ /, "", t); split(t, c, ",")
            if (c[2] > c[1] + 80 && c[2] > c[3] + 80) green++
            if (c[1] > c[2] + 80 && c[1] > c[3] + 80) red++
        }
        END { print green + 0, red + 0 }'
}

title="Veltro Virtual Control Panel"
shoot() {  # NAME HEIGHT_TWIPS SMALL VECTOR SETUP
    local name=$1 window="" taken=false geometry extents x y w h left right top bottom green red _
    printf '%s\r\n' Position-Left=300 Position-Top=300 PwrMode=0 "Height=$2" \
        "mnuSetup=$5" "mnuSmall=$3" "mnuVector=$4" ComPort=Com01 Pollrate=100 \
        Range=3 Check1=0 OnTop=0 Version=1 HiPwr=0 >"$work/config.ini"
    rm -f "$published"
    "$work/veltro-panel" >"$work/panel.log" 2>&1 &
    panel_pid=$!
    for _ in $(seq 200); do
        [ "$(published_active)" = Y ] && [ -n "$(published_reading)" ] && break
        kill -0 "$panel_pid" 2>/dev/null || fail "the panel ended: $(cat "$work/panel.log")"
        sleep 0.1
    done
    [ "$(published_active)" = Y ] || fail "$name: the panel did not connect"
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1) || true
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "$name: no window titled \"$title\""
    sleep 1  # placed, framed and painted
    geometry=$(xwininfo -id "$window")
    x=$(echo "$geometry" | sed -n 's/.*Absolute upper-left X: *//p')
    y=$(echo "$geometry" | sed -n 's/.*Absolute upper-left Y: *//p')
    w=$(echo "$geometry" | sed -n 's/.*Width: *//p')
    h=$(echo "$geometry" | sed -n 's/.*Height: *//p')
    extents=$(xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
    IFS=, read -r left right top bottom <<<"${extents:-0,0,0,0}"
    for _ in $(seq 20); do
        import -window root "$work/screen.png"
        read -r green red < <(lamp_colours "$work/screen.png" "$x" "$y" "$h")
        if [ "$green" -ge 40 ] && [ "$red" -eq 0 ]; then
            convert "$work/screen.png" \
                -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" \
                +repage "$out/view-$name.png"
            taken=true
            echo "$out/view-$name.png: Reading $(published_reading), Active $(published_active)"
            break
        fi
        sleep 0.3
    done
    kill -TERM "$panel_pid"
    wait "$panel_pid" || true
    panel_pid=""
    $taken || fail "$name: the lamp never showed green"
    [ "$(published_active)" = N ] || fail "$name: the panel closed without Active=N"
}

shoot small 3200 True False False
shoot vector 3700 False True False
shoot setup 5250 False False True

#!/usr/bin/env bash
# Starts a virtual X display for run.sh and pictures.sh. Sourced.
#
# veltro_start_xvfb LOG: starts Xvfb in a session of its own (a Ctrl-C meant
# for the panel must not take its display away before it has closed), lets
# it pick a free display number itself (-displayfd) and exports DISPLAY.
# Sets xvfb_pid. Returns 1 with a message on stderr when no server comes up.
veltro_start_xvfb() {
    local log=$1 number_file number="" _
    number_file=$(mktemp)
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$number_file" >"$log" 2>&1 &
    xvfb_pid=$!
    # The number is written once the server takes connections.
    for _ in $(seq 100); do
        number=$(head -n 1 "$number_file")
        [ -n "$number" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$number_file"
    if [ -z "$number" ]; then
        kill -TERM "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
        echo "No virtual X display could be started (Xvfb gave no display number;" \
            "its messages: $log)" >&2
        return 1
    fi
    export DISPLAY=":$number"
}

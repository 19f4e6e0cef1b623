#!/usr/bin/env bash
# The suite's time by tier: the sum of ctest's per-test times for the tests
# labelled "quick", for the rest and for all of them, and the largest tests.
# Runs the tests two at a time, as on the 2-core development machine, and
# reads ctest's JUnit file; extra arguments select tests (`-L quick`).
#
#   bench/test_tiers.sh [build folder] [ctest selection...]
#   TIERS_JUNIT=<file> bench/test_tiers.sh [build folder]   # an earlier run's file
#   TIERS_LARGEST=<n>: how many of the largest tests to list (12)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
shift $(($# > 0 ? 1 : 0))
junit="${TIERS_JUNIT:-}"
cd "$build"
if [ -z "$junit" ]; then
    junit="$build/Testing/tiers.xml"
    echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
    QT_QPA_PLATFORM=offscreen ctest --timeout 300 -j2 --output-junit "$junit" "$@" \
        >"$build/Testing/tiers.log" 2>&1 || echo "not all passed: see $build/Testing/tiers.log"
    echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
fi
[ -r "$junit" ] || { echo "no JUnit file: $junit" >&2; exit 1; }

# Tier membership from the labels, test times from the run.
quick=$(mktemp)
trap 'rm -f "$quick"' EXIT
ctest -N -L quick 2>/dev/null | sed -n 's/^ *Test *#[0-9]*: //p' >"$quick"
sed -n 's/.*<testcase name="\([^"]*\)".* time="\([^"]*\)".* status="\([^"]*\)".*/\2\t\3\t\1/p' \
    "$junit" |
    awk -F '\t' -v quickList="$quick" -v largest="${TIERS_LARGEST:-12}" '
        BEGIN { while ((getline name < quickList) > 0) quick[name] = 1 }
        {
            tier = ($3 in quick) ? "quick" : "rest"
            sum[tier] += $1; count[tier]++; sum["whole"] += $1; count["whole"]++
            if ($2 != "run") { failed[tier]++; failed["whole"]++ }
            line[NR] = sprintf("%8.2f s  %-5s  %s", $1, tier, $3); time[NR] = $1
        }
        END {
            split("quick rest whole", tiers, " ")
            for (k = 1; k <= 3; k++) {
                t = tiers[k]
                printf "%-5s %4d tests %8.1f s%s\n", t, count[t], sum[t],
                    failed[t] ? "  (" failed[t] " not passed)" : ""
            }
            print "largest:"
            for (k = 1; k <= largest && k <= NR; k++) {
                best = 0
                for (i in time) if (!best || time[i] > time[best]) best = i
                print line[best]; delete time[best]
            }
        }'

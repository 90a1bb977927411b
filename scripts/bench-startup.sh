#!/usr/bin/env bash
# Start of the program to its port dialog, against a bare Qt window with 21
# tabs that asks for a port the same way (tests/bench_barewindow.cpp), on one
# virtual display, taking turns. For each: the time from starting the process
# to the "Select Port" dialog being on screen, and the peak memory (VmHWM)
# at that moment; medians over the runs, and the program's ratios to the bare
# window.
#
#   scripts/bench-startup.sh [runs]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
RUNS="${1:-15}"
source "$ROOT/scripts/deps.sh"
install_missing "${BUILD_PACKAGES[@]}" xvfb openbox xdotool x11-utils
BUILD="$ROOT/build/release"
build_tree "$BUILD" Release meter-setup bench_barewindow >/dev/null

export XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT
start_virtual_display 61

# measure <program>: prints "<ms> <kB>" for one start.
measure() {
    local start now pid hwm
    start=$(date +%s%N)
    "$1" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 2000); do
        if xdotool search --onlyvisible --name '^Select Port$' >/dev/null 2>&1; then
            now=$(date +%s%N)
            hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
            kill "$pid"
            wait "$pid" 2>/dev/null || true
            echo "$(((now - start) / 1000000)) $hwm"
            return
        fi
    done
    kill "$pid"
    echo "no port dialog from $1" >&2
    return 1
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

bare_ms=(); bare_kb=(); prog_ms=(); prog_kb=()
measure "$BUILD/tests/bench_barewindow" >/dev/null # warm the caches
measure "$BUILD/meter-setup" >/dev/null
for _ in $(seq "$RUNS"); do
    read -r ms kb < <(measure "$BUILD/tests/bench_barewindow"); bare_ms+=("$ms"); bare_kb+=("$kb")
    read -r ms kb < <(measure "$BUILD/meter-setup"); prog_ms+=("$ms"); prog_kb+=("$kb")
done
bm=$(printf '%s\n' "${bare_ms[@]}" | median); bk=$(printf '%s\n' "${bare_kb[@]}" | median)
pm=$(printf '%s\n' "${prog_ms[@]}" | median); pk=$(printf '%s\n' "${prog_kb[@]}" | median)
printf '%-22s %8s %10s\n' "" "start ms" "peak kB"
printf '%-22s %8s %10s\n' "bare 21-tab window" "$bm" "$bk"
printf '%-22s %8s %10s\n' "meter-setup" "$pm" "$pk"
awk -v pm="$pm" -v bm="$bm" -v pk="$pk" -v bk="$bk" \
    'BEGIN {printf "%-22s %8.2fx %9.2fx   (medians of '"$RUNS"' runs each)\n", "ratio", pm / bm, pk / bk}'

#!/usr/bin/env bash
# Measures how long the program takes to end after Exit, the close button and
# the time-out dialog's Abort: idle, during a wait for a reply and during the
# scan of detection. The real program runs against meter-sim on a virtual
# display; the time runs from the key press to the end of the process.
# Needs Xvfb, openbox and xdotool.
#
#   tests/bench_exit.sh <build dir> [runs per case] [meter-setup to measure]
#
# CASES, a regular expression, picks the cases to run by name.
set -euo pipefail
BUILD="$(cd "${1:?build dir}" && pwd)"
RUNS="${2:-3}"
SETUP="${3:-$BUILD/meter-setup}"
SIM="$BUILD/meter-sim"

export XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/deps.sh"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -CONT "$p" 2>/dev/null || true; kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT
start_virtual_display 58

now_ms() { echo $(($(date +%s%N) / 1000000)); }
find_window() {
    for _ in $(seq 400); do
        local w
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) && [ -n "$w" ] && { echo "$w"; return; }
        sleep 0.05
    done
    echo "no window named $1" >&2
    return 1
}

# run <case> <sim options> <before action> <action>
run() {
    local name="$1" simopts="$2" before="$3" action="$4"
    "$SIM" --com 41 $simopts >/dev/null 2>&1 &
    local sim=$!
    pids+=($sim)
    sleep 0.5
    "$SETUP" >/dev/null 2>&1 &
    local app=$!
    pids+=($app)
    local dialog main
    dialog=$(find_window '^Select Port$')
    xdotool windowactivate --sync "$dialog" key End key Return
    main=$(find_window '^Korvane Meter Setup Utility$')
    case "$before" in
        idle) sleep 4 ;;                                  # detection done, the poll runs
        wait) sleep 4; kill -STOP "$sim"; sleep 1.5 ;;    # the meter stops answering mid-poll
        scan) sleep 1.5 ;;                                # a silent meter: still probing
        timeout) sleep 4; kill -STOP "$sim" ;;            # until the time-out dialog shows
        scantimeout) ;;                                   # the scan gives up: time-out dialog
        gone) sleep 4; kill -KILL "$sim"; sleep 1.5 ;;    # the device goes away mid-poll
        gonetimeout) sleep 4; kill -KILL "$sim" ;;        # ... until the time-out dialog shows
    esac
    local start box
    case "$action" in
        exit)
            xdotool windowactivate --sync "$main"
            xdotool key alt+f; sleep 0.3
            start=$(now_ms); xdotool key e ;;
        close)
            xdotool windowactivate --sync "$main"
            start=$(now_ms); xdotool key alt+F4 ;;
        abort)
            box=$(find_window '^Communications Error$')
            xdotool windowactivate --sync "$box"
            # Alt+A for a box whose Abort has a mnemonic, Escape for one
            # whose escape button is Abort.
            start=$(now_ms); xdotool key alt+a Escape ;;
        abortspace)
            # Focus on Abort, then Space: a click without the animation
            # that a mnemonic plays first.
            box=$(find_window '^Communications Error$')
            xdotool windowactivate --sync "$box"
            xdotool key shift+Tab; sleep 0.2
            start=$(now_ms); xdotool key space ;;
    esac
    local ended=0
    for _ in $(seq 2000); do
        case "$(ps -o stat= -p "$app" 2>/dev/null)" in '' | Z*) ended=1; break ;; esac
        sleep 0.002
    done
    local took=$(($(now_ms) - start))
    kill -CONT "$sim" 2>/dev/null || true
    kill "$sim" 2>/dev/null || true
    if [ $ended -eq 0 ]; then
        kill "$app" 2>/dev/null || true
        echo "$name: did not end within 4 s" >&2
        took=-1
    fi
    wait "$app" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
    echo "$took"
}

measure() {
    local name="$1"
    shift
    [[ "$name" =~ ${CASES:-.} ]] || return 0
    local times=()
    for _ in $(seq "$RUNS"); do times+=("$(run "$name" "$@")"); done
    local sorted
    sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
    printf '%-36s ms: %s\n' "$name" "$sorted"
}

measure "Exit, idle" "" idle exit
measure "Exit, during a wait" "" wait exit
measure "Exit, during the scan" "--silent" scan exit
measure "close button, idle" "" idle close
measure "close button, during a wait" "" wait close
measure "close button, during the scan" "--silent" scan close
measure "Abort, poll timed out" "" timeout abort
measure "Abort, scan found nothing" "--silent" scantimeout abort
measure "Abort by Space, poll timed out" "" timeout abortspace
measure "Exit, device gone" "" gone exit
measure "close button, device gone" "" gone close
measure "Abort, device gone" "" gonetimeout abort

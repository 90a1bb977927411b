#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated meter on a
# pseudo-terminal (published as COM41) and starts the utility against it.
# Without a display it runs on a virtual one, answers the port dialog by
# script and saves screenshots of the main window.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/deps.sh"
HEADLESS=0
[ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && HEADLESS=1
PACKAGES=("${BUILD_PACKAGES[@]}")
[ $HEADLESS -eq 1 ] && PACKAGES+=(xvfb openbox xdotool imagemagick x11-utils)
install_missing "${PACKAGES[@]}"
BUILD="$ROOT/build/run"
build_tree "$BUILD" RelWithDebInfo meter-setup meter-sim

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT

[ $HEADLESS -eq 1 ] && start_virtual_display 57

"$BUILD/meter-sim" --com 41 "$@" &
pids+=($!)
sleep 1

if [ $HEADLESS -eq 0 ]; then
    "$BUILD/meter-setup"
    exit 0
fi

# Only one copy of the utility may run; a second one would only say so.
LOCK="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -un)}/SingleInstanceProgram.lock"
if [ -e "$LOCK" ] && ! flock -n "$LOCK" true 2>/dev/null; then
    echo "Another copy of meter-setup is running (it holds $LOCK)." >&2
    echo "Close it, or end it with: pkill -x meter-setup, then run this again." >&2
    exit 1
fi

SHOTS="$ROOT/build/screenshots"
mkdir -p "$SHOTS"
"$BUILD/meter-setup" &
app=$!
pids+=($app)
# The port dialog: the simulated meter's COM41 is the last entry.
win=""
for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --name '^Select Port$' 2>/dev/null | head -n1) && [ -n "$win" ] && break
    sleep 0.1
done
if [ -z "$win" ]; then
    echo "The \"Select Port\" dialog did not appear within 10 s; see the utility's output above." >&2
    exit 1
fi
xdotool windowactivate --sync "$win" key End key Return
# Wait for detection to finish.
sleep 8
main=$(xdotool search --onlyvisible --name '^Korvane Meter Setup Utility$' | head -n1)
xdotool windowactivate --sync "$main"
import -window root "$SHOTS/01-after-detection.png"
for n in 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19; do
    xdotool key --window "$main" ctrl+Tab
    # Pages that read the meter on entry take a few seconds at the real pace.
    sleep 2
    import -window root "$SHOTS/$n-page.png"
done
echo "Screenshots saved in $SHOTS:"
ls "$SHOTS"
xdotool key --window "$main" alt+f key e 2>/dev/null || kill "$app"
sleep 1

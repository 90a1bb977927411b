#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated meter on a
# pseudo-terminal (published as COM41) and starts the utility against it.
# Without a display it runs on a virtual one, answers the port dialog by
# script, opens every visible page in turn and saves a screenshot of each
# once its reads have ended, and a contact sheet of them all.
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
LINE_DIR=""
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [ -z "$LINE_DIR" ] || rm -rf "$LINE_DIR"
}
trap cleanup EXIT

[ $HEADLESS -eq 1 ] && start_virtual_display 57

if [ $HEADLESS -eq 0 ]; then
    "$BUILD/meter-sim" --com 41 "$@" &
    pids+=($!)
    sleep 1
    "$BUILD/meter-setup"
    exit 0
fi

# The simulated meter's log, passed on line by line. Every line but the live
# reading's poll (SR2 to SR5 and their replies) stamps $LINE.busy with the
# time; the first poll command stamps $LINE.polled: detection has ended.
LINE_DIR="$(mktemp -d)"
LINE="$LINE_DIR/line"
follow_log() {
    local line poll=0
    while IFS= read -r line; do
        printf '%s\n' "$line"
        case "$line" in
        "meter-sim: received SR"[2-5])
            poll=1
            [ -e "$LINE.polled" ] || echo "$EPOCHREALTIME" >"$LINE.polled"
            continue
            ;;
        "meter-sim: sent "*)
            [ $poll -eq 1 ] && { poll=0; continue; }
            ;;
        esac
        poll=0
        echo "$EPOCHREALTIME" >"$LINE.busy"
    done
}
"$BUILD/meter-sim" --com 41 "$@" > >(follow_log) &
pids+=($!)
sleep 1

microseconds() { local t="${1:-$EPOCHREALTIME}"; echo "${t//[.,]/}"; }
# Returns once the meter has heard nothing but the poll for 1.5 s (a page's
# reads have ended), or fails after 120 s.
wait_for_quiet() {
    local start now last
    start=$(microseconds)
    while :; do
        now=$(microseconds)
        last=$(microseconds "$(cat "$LINE.busy" 2>/dev/null || echo 0)")
        ((now - last >= 1500000 && now - start >= 1500000)) && return 0
        ((now - start > 120000000)) && return 1
        sleep 0.1
    done
}

# Only one copy of the utility may run; a second one would only say so.
LOCK="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -un)}/SingleInstanceProgram.lock"
if [ -e "$LOCK" ] && ! flock -n "$LOCK" true 2>/dev/null; then
    echo "Another copy of meter-setup is running (it holds $LOCK)." >&2
    echo "Close it, or end it with: pkill -x meter-setup, then run this again." >&2
    exit 1
fi

SHOTS="$ROOT/build/screenshots"
mkdir -p "$SHOTS"
rm -f "$SHOTS"/*.png
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
# Detection has ended when the poll starts.
for _ in $(seq 600); do
    [ -e "$LINE.polled" ] && break
    sleep 0.1
done
if [ ! -e "$LINE.polled" ] || ! wait_for_quiet; then
    echo "Detection did not end within a minute; see the log above." >&2
    exit 1
fi
main=$(xdotool search --onlyvisible --name '^Korvane Meter Setup Utility$' | head -n1)
xdotool windowactivate --sync "$main"
# The menu and page strip at the top of the window tell the pages apart.
eval "$(xdotool getwindowgeometry --shell "$main")"
strip() { convert "$1" -crop "${WIDTH}x150+${X}+${Y}" +repage "$2"; }
same_strip() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }

import -window root "$SHOTS/01-after-detection.png"
strip "$SHOTS/01-after-detection.png" "$LINE.first.png"
cp "$LINE.first.png" "$LINE.last.png"
shots=1
# Every visible page in turn, each once its reads have ended, until the
# strip is back at the first page.
while :; do
    moved=0
    for try in 1 2 3; do
        [ $try -eq 1 ] || echo "Ctrl+Tab was not taken after page $shots: pressing it again." >&2
        xdotool key --window "$main" ctrl+Tab
        wait_for_quiet || echo "The meter was still being read after 2 minutes." >&2
        import -window root "$LINE.shot.png"
        strip "$LINE.shot.png" "$LINE.strip.png"
        # A key pressed while a page still reads is not taken: press it again.
        same_strip "$LINE.strip.png" "$LINE.last.png" || { moved=1; break; }
    done
    if [ $moved -eq 0 ]; then
        echo "The page strip did not move on after page $shots." >&2
        exit 1
    fi
    same_strip "$LINE.strip.png" "$LINE.first.png" && break
    if [ $shots -ge 30 ]; then
        echo "The page strip did not come back to the first page after $shots pages." >&2
        exit 1
    fi
    shots=$((shots + 1))
    mv "$LINE.shot.png" "$(printf '%s/%02d-page.png' "$SHOTS" $shots)"
    mv "$LINE.strip.png" "$LINE.last.png"
done
montage -label '%t' "$SHOTS"/[0-9]*.png -trim -geometry 400x300+6+6 -tile 4x "$SHOTS/contact-sheet.png"
echo "Screenshots of $shots pages saved in $SHOTS:"
ls "$SHOTS"
echo "Contact sheet: $SHOTS/contact-sheet.png"
xdotool key --window "$main" alt+f key e 2>/dev/null || kill "$app"
sleep 1

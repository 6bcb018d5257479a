#!/usr/bin/env bash
# CPU time of levora and of the X server while meter windows run on the embedded demo cards,
# read from /proc, and levora's memory: private, shared (the window images the X server reads
# and Qt's backing stores live in shared memory) and proportional (shared pages split among the
# processes that map them). A watcher counts how often the topmost window's picture changes
# on the screen right after the measured time (reading a pixel a hundred times a second
# costs the X server about as much as the meters do, so it does not run during it); with fewer
# than MIN_CHANGES_PER_SECOND the screen is not really refreshing and the script prints no
# figure and fails.
#
#   bash bench/meter_cpu.sh [LEVORA_BIN [WATCH_BIN]]
#   WINDOWS=8 FUNCTION=1 SECONDS_MEASURED=30 bash bench/meter_cpu.sh build/release/app/levora
#
# FUNCTION: 0 stereo, 1 multi-channel (groups of the MADI and the Kestrel cards), 2 global.
# CARDS: the cards the windows take in turn (by default "0 3": the MADI and a Kestrel card).
# XVFB_ARGS adds server options (for example "-extension MIT-SHM").
# PLATFORM=wayland runs the windows on weston's headless backend (its software renderer, as
# the Wayland end-to-end tests) instead of Xvfb and reports weston's CPU time as the server's.
# There the witness is weston's own timeline (for WITNESS_SECONDS, as the watcher on X11): how
# many times a second the compositor redrew damage of levora's windows; and screenshots of the
# topmost window must differ.
set -euo pipefail

levora=${1:-build/release/app/levora}
watch=${2:-${LEVORA_WATCH_BIN:-build/release/tests/levora-window-watch}}
min_rate=${MIN_CHANGES_PER_SECOND:-20}
windows=${WINDOWS:-8}
function=${FUNCTION:-1}
seconds=${SECONDS_MEASURED:-30}
platform=${PLATFORM:-x11}
# Forty windows take a while to come up and paint on a busy machine.
settle=${SETTLE_SECONDS:-$((3 + windows / 3))}
read -r -a cards <<<"${CARDS:-0 3}"
[ -x "$levora" ] || { echo "no levora at $levora" >&2; exit 1; }
[ "$platform" = wayland ] || [ -x "$watch" ] || { echo "no levora-window-watch at $watch" >&2; exit 1; }

tmp=$(mktemp -d)
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null && wait "$app" 2>/dev/null
    [ -n "${xserver:-}" ] && kill "$xserver" 2>/dev/null && wait "$xserver" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR="$tmp/run"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
if [ "$platform" = wayland ]; then
    # A compositor of our own in a runtime directory of our own, so that its CPU time is ours
    # alone.
    weston --backend=headless-backend.so --use-pixman --width=1920 --height=1200 --idle-time=0 \
        --no-config --debug --socket=levora-bench >"$tmp/xvfb.log" 2>&1 &
    xserver=$!
    for _ in $(seq 1 50); do [ -S "$XDG_RUNTIME_DIR/levora-bench" ] && break; sleep 0.1; done
    export WAYLAND_DISPLAY=levora-bench QT_QPA_PLATFORM=wayland
    unset DISPLAY
    # shellcheck disable=SC2034 # weston_lib.sh keeps its screenshots there
    e2e_tmp=$tmp
    # shellcheck source=../tests/e2e/wayland/weston_lib.sh
    source "$(dirname "$0")/../tests/e2e/wayland/weston_lib.sh"
else
    # A display of our own, so that the server's CPU time is ours alone.
    display=99
    while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
        display=$((display + 1))
    done
    # shellcheck disable=SC2086 # the options are words
    Xvfb ":$display" -screen 0 1920x1200x24 -nolisten tcp ${XVFB_ARGS:-} >"$tmp/xvfb.log" 2>&1 &
    xserver=$!
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
    export DISPLAY=":$display"
fi

# The workspace: windows side by side in rows; the embedded cards (no driver directory).
export XDG_CONFIG_HOME="$tmp/config"
mkdir -p "$XDG_CONFIG_HOME/Ostrel"
conf="$XDG_CONFIG_HOME/Ostrel/Ostrel Levora.conf"
{
    echo "[Workspace]"
    echo "NumOfWins=$windows"
    for ((i = 0; i < windows; i++)); do
        left=$(((i % 5) * 380 + 10))
        top=$(((i / 5 % 2) * 590 + 10))
        card=${cards[i % ${#cards[@]}]}
        echo "Frame$i\\SWType=$function"
        echo "Frame$i\\CardNumber=$card"
        echo "Frame$i\\BusType=$((i / 2 % 3))"
        echo "Frame$i\\GroupNumber=$((i / 2 % 3))"
        echo "Frame$i\\ChanNumber=$((i % 13))"
        echo "Frame$i\\WinPos.left=$left"
        echo "Frame$i\\WinPos.top=$top"
        echo "Frame$i\\WinPos.right=$((left + 360))"
        echo "Frame$i\\WinPos.bottom=$((top + 570))"
    done
} >"$conf"

"$levora" 2>"$tmp/levora.log" &
app=$!
shown_windows() {
    if [ "$platform" = wayland ]; then
        weston_windows | grep -c "Ostrel Levora" || true
    else
        xdotool search --onlyvisible --name "Ostrel Levora" 2>/dev/null | wc -l || true
    fi
}
for _ in $(seq 1 100); do
    shown=$(shown_windows)
    [ "$shown" -ge "$windows" ] && break
    sleep 0.1
done
if [ "${shown:-0}" -lt "$windows" ]; then
    echo "only ${shown:-0} windows came up" >&2
    cat "$tmp/xvfb.log" "$tmp/levora.log" >&2
    exit 1
fi
sleep "$settle"
if [ "$platform" != wayland ]; then
    # The topmost of levora's shown windows: xwininfo lists the root's children top to bottom.
    shown_ids=$(xdotool search --onlyvisible --name "Ostrel Levora" | awk '{ printf "0x%x\n", $1 }')
    watched=$(xwininfo -root -children | awk -v shown="$shown_ids" '
        BEGIN { n = split(shown, s, "\n"); for (i = 1; i <= n; i++) ok[s[i]] = 1 }
        ($1 in ok) && id == "" { id = $1 } END { print id }')
fi

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# A field of /proc/PID/status or smaps_rollup, in MiB.
mib() { awk -v k="$2:" '$1 == k { printf "%d", $2 / 1024 }' "$1"; }
hz=$(getconf CLK_TCK)
app0=$(ticks "$app")
x0=$(ticks "$xserver")
t0=$(date +%s.%N)
sleep "$seconds"
app1=$(ticks "$app")
x1=$(ticks "$xserver")
t1=$(date +%s.%N)
witness=${WITNESS_SECONDS:-5}
if [ "$platform" = wayland ]; then
    # Output repaints that drew damage of a surface, per second, over the compositor's
    # timeline (levora's are the only surfaces that change).
    timeout "$witness" weston-debug timeline >"$tmp/timeline" || true
    rate=$(awk -v s="$witness" '
        /"N":"core_repaint_begin"/ { drew = 0 }
        /"N":"core_flush_damage"/ && !drew { drew = 1; n++ }
        END { printf "%.1f", n / s }' "$tmp/timeline")
    # And the topmost window's pixels change from screenshot to screenshot.
    read -r -a top < <(weston_windows | grep -m 1 "Ostrel Levora")
    changed=0
    previous=
    for i in 1 2 3 4 5; do
        weston_screenshot "$tmp/shot.png"
        sum=$(convert "$tmp/shot.png" -crop "$((top[2] - top[0]))x$((top[3] - top[1]))+${top[0]}+${top[1]}" \
            +repage rgb:- | md5sum)
        [ -n "$previous" ] && [ "$sum" != "$previous" ] && changed=$((changed + 1))
        previous=$sum
    done
    if [ "$changed" -lt 3 ]; then
        echo "the topmost window changed on $changed of 4 screenshots: not refreshing, no figure" >&2
        exit 1
    fi
else
    rate=$("$watch" --rate "$witness" "$watched")
fi
if [ -n "${SCREENSHOT:-}" ]; then
    if [ "$platform" = wayland ]; then weston_screenshot "$SCREENSHOT"; else import -window root "$SCREENSHOT"; fi
fi

if awk -v r="$rate" -v m="$min_rate" 'BEGIN { exit !(r < m) }'; then
    echo "the screen changed $rate times a second (fewer than $min_rate): not refreshing, no figure" >&2
    exit 1
fi
awk -v a=$((app1 - app0)) -v x=$((x1 - x0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" -v rate="$rate" -v witness="$witness" \
    -v w="$windows" -v f="$function" -v server="$([ "$platform" = wayland ] && echo weston || echo X server)" -v load="$(cut -d' ' -f1-3 /proc/loadavg)" \
    -v private="$(mib "/proc/$app/status" RssAnon)" -v shmem="$(mib "/proc/$app/status" RssShmem)" \
    -v pss="$(mib "/proc/$app/smaps_rollup" Pss)" -v xpss="$(mib "/proc/$xserver/smaps_rollup" Pss)" 'BEGIN {
    wall = t1 - t0
    printf "%d windows of function %d, %.1f s, load %s, screen changes %.1f/s in the %d s after: levora %.2f %%, %s %.2f %%, together %.2f %% of one core; levora memory private %d MiB, shared %d MiB, Pss %d MiB; %s Pss %d MiB\n",
        w, f, wall, load, rate, witness, 100 * a / hz / wall, server, 100 * x / hz / wall, 100 * (a + x) / hz / wall,
        private, shmem, pss, server, xpss
}'

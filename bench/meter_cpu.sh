#!/usr/bin/env bash
# CPU time of levora and of the X server while meter windows run on the embedded demo cards,
# read from /proc, and levora's private memory (resident less shared).
#
#   bash bench/meter_cpu.sh [LEVORA_BIN]
#   WINDOWS=8 FUNCTION=1 SECONDS_MEASURED=30 bash bench/meter_cpu.sh build/release/app/levora
#
# FUNCTION: 0 stereo, 1 multi-channel (groups of the MADI and the Kestrel cards), 2 global.
set -euo pipefail

levora=${1:-build/release/app/levora}
windows=${WINDOWS:-8}
function=${FUNCTION:-1}
seconds=${SECONDS_MEASURED:-30}
settle=${SETTLE_SECONDS:-3}
[ -x "$levora" ] || { echo "no levora at $levora" >&2; exit 1; }

tmp=$(mktemp -d)
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null && wait "$app" 2>/dev/null
    [ -n "${xserver:-}" ] && kill "$xserver" 2>/dev/null && wait "$xserver" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

# A display of our own, so that the server's CPU time is ours alone.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1920x1200x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xserver=$!
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# The workspace: windows side by side in rows; the embedded cards (no driver directory).
export XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/run" DISPLAY=":$display"
mkdir -p "$XDG_CONFIG_HOME/Ostrel" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
conf="$XDG_CONFIG_HOME/Ostrel/Ostrel Levora.conf"
{
    echo "[Workspace]"
    echo "NumOfWins=$windows"
    for ((i = 0; i < windows; i++)); do
        left=$(((i % 5) * 380 + 10))
        top=$(((i / 5 % 2) * 590 + 10))
        card=$((i % 2 == 0 ? 0 : 3))
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
for _ in $(seq 1 100); do
    shown=$(xdotool search --onlyvisible --name "Ostrel Levora" 2>/dev/null | wc -l || true)
    [ "$shown" -ge "$windows" ] && break
    sleep 0.1
done
if [ "${shown:-0}" -lt "$windows" ]; then
    echo "only ${shown:-0} windows came up" >&2
    cat "$tmp/xvfb.log" "$tmp/levora.log" >&2
    exit 1
fi
sleep "$settle"

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
app0=$(ticks "$app")
x0=$(ticks "$xserver")
t0=$(date +%s.%N)
sleep "$seconds"
app1=$(ticks "$app")
x1=$(ticks "$xserver")
t1=$(date +%s.%N)

read -r _ resident shared _ <"/proc/$app/statm"
page=$(getconf PAGESIZE)
awk -v a=$((app1 - app0)) -v x=$((x1 - x0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" \
    -v w="$windows" -v f="$function" -v mib="$(((resident - shared) * page / 1048576))" 'BEGIN {
    wall = t1 - t0
    printf "%d windows of function %d, %.1f s: levora %.2f %%, X server %.2f %%, together %.2f %% of one core; levora private memory %d MiB\n",
        w, f, wall, 100 * a / hz / wall, 100 * x / hz / wall, 100 * (a + x) / hz / wall, mib
}'
if [ -n "${SCREENSHOT:-}" ]; then import -window root "$SCREENSHOT"; fi

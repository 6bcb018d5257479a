#!/usr/bin/env bash
# Window geometry as a desktop shows it. The settings keep a window's outer rectangle, the
# window manager's frame included, as xwininfo reports it; two start/Exit cycles (File > Exit
# from the keyboard, then SIGTERM) change nothing. A window stored above the screen comes up
# with its title bar on the screen. Under a window manager a drag of the right border and a
# maximize leave the width the meter locks, and what Exit stores is the real normal rectangle.
source "$(dirname "$0")/lib.sh"
[ -n "${E2E_TRACE:-}" ] && set -x

# Writes a workspace of one stereo meter at the outer rectangle left, top, right, bottom.
store_window() {
    cat >"$conf" <<CONF
[Workspace]
NumOfWins=1
Frame0\SWType=0
Frame0\WinPos.left=$1
Frame0\WinPos.top=$2
Frame0\WinPos.right=$3
Frame0\WinPos.bottom=$4
CONF
}

# Prints "left top width height" of the rectangle Exit stored for the first window.
stored_rect() {
    local key l t r b
    for key in left top right bottom; do
        declare "${key:0:1}=$(sed -n "s/^Frame0\\\\WinPos\\.$key=//p" "$conf")"
    done
    echo "$l $t $((r - l)) $((b - t))"
}

# Polls the outer rectangle of window $1 into `outer` (and x y w h) until the test "$2" holds,
# for up to 5 s: a window manager frames a new window a moment after it appears.
wait_for_outer() {
    for _ in $(seq 1 50); do
        outer=$(outer_geometry "$1")
        read -r x y w h <<<"$outer"
        eval "$2" && return 0
        sleep 0.1
    done
    return 1
}

client_width() { xwininfo -id "$1" | sed -n 's/^ *Width: //p'; }

start_window() {
    start_levora
    window=$(wait_for_window "Stereo Level Meter") || fail "no window: $(cat "$e2e_tmp/levora.log")"
}

exit_by_signal() {
    kill -TERM "$pid"
    wait_for_exit "$pid" || fail "levora did not end after SIGTERM"
    [ "$exit_code" -eq 0 ] || fail "levora ended with $exit_code"
}

exit_from_menu() {
    xdotool windowfocus --sync "$window"
    xdotool key alt+f
    # The menu's last item is Exit; the key's release meets no window any more.
    xdotool key Up Return 2>/dev/null || true
    wait_for_exit "$pid" || fail "File > Exit did not end levora"
    [ "$exit_code" -eq 0 ] || fail "levora ended with $exit_code"
}

# 1. Two cycles. The meter locks the width to its layout and centres it on the stored
# rectangle (centre x 250); top and height stay exactly.
store_window 100 120 400 620
start_window
wait_for_outer "$window" '[ "$y" = 120 ] && [ "$h" = 500 ] && [ $((2 * x + w - 500)) -ge -1 ] &&
    [ $((2 * x + w - 500)) -le 1 ]' || fail "first start placed the window at $outer"
first=$outer
exit_from_menu
[ "$(stored_rect)" = "$first" ] || fail "Exit stored $(stored_rect), the window was $first"

start_window
wait_for_outer "$window" '[ "$outer" = "$first" ]' ||
    fail "the second start placed the window at $outer, stored was $first"
exit_by_signal
[ "$(stored_rect)" = "$first" ] || fail "the second Exit stored $(stored_rect), not $first"

# 2. Stored with its top 50 pixels above the screen: the whole frame comes onto the screen.
store_window 100 -50 400 450
start_window
wait_for_outer "$window" '[ "$y" = 0 ] && [ "$h" = 500 ]' ||
    fail "a window stored at top -50 stands at $outer"
on_screen=$outer

if [ "${E2E_WM:-}" != openbox ]; then
    exit_by_signal
    [ "$(stored_rect)" = "$on_screen" ] || fail "Exit stored $(stored_rect), not $on_screen"
    echo "outer rectangles restored and stored exactly; the window came onto the screen"
    exit 0
fi

# 3. Under the window manager: drag the right border 120 pixels outwards.
locked=$(client_width "$window")
mid=$((y + h / 2))
xdotool mousemove $((x + w - 1)) $mid mousedown 1 mousemove $((x + w + 60)) $mid \
    mousemove $((x + w + 119)) $mid mouseup 1
for _ in $(seq 1 10); do
    [ "$(outer_geometry "$window")" = "$on_screen" ] ||
        fail "the drag changed the window from $on_screen to $(outer_geometry "$window")"
    sleep 0.1
done
[ "$(client_width "$window")" = "$locked" ] || fail "the drag changed the client width"

# 4. Maximize by a double click on the title bar: the height grows, the width stays.
xdotool mousemove $((x + w / 2)) $((y + 5)) click --repeat 2 --delay 100 1
wait_for_outer "$window" '[ "$h" -gt 500 ]' || fail "the window did not maximize"
[ "$(client_width "$window")" = "$locked" ] ||
    fail "maximize made the client $(client_width "$window") wide, locked at $locked"

# Exit while maximized stores the normal rectangle.
exit_by_signal
[ "$(stored_rect)" = "$on_screen" ] || fail "Exit stored $(stored_rect), the window was $on_screen"
echo "outer rectangles restored and stored exactly; drag and maximize kept the width"

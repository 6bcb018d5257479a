#!/usr/bin/env bash
# Options > Always on top keeps the meter running, ticked and unticked: the window stays the
# same window, a window manager is asked to keep it above the others, and a level change still
# reaches the screen with nobody touching the session.
# Regression: the option re-created the native window and the meter never updated again.
source "$(dirname "$0")/lib.sh"
: "${LEVORA_WATCH_BIN:?LEVORA_WATCH_BIN must name the built levora-window-watch}"

start_tone_driver -40

cat >"$conf" <<CONF
[Workspace]
NumOfWins=1
Frame0\SWType=0
Frame0\CardNumber=3
Frame0\ChanNumber=0
Frame0\WinPos.left=40
Frame0\WinPos.top=40
Frame0\WinPos.right=320
Frame0\WinPos.bottom=520
CONF

start_levora
window=$(wait_for_window "Ostrel Levora - Stereo Level Meter") ||
    fail "no stereo window: $(cat "$e2e_tmp/levora.log")"

# Options menu: Activate Level Processing, Deactivate Screensaver, Always on top.
toggle_always_on_top() {
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers alt+o
    sleep 0.3
    xdotool key Down Down Return
}

# expect_state ON: the settings store and, under a window manager, the window's state.
expect_state() {
    for _ in $(seq 1 50); do
        grep -q "^AllwaysOnTop=$1$" "$conf" && break
        sleep 0.1
    done
    grep -q "^AllwaysOnTop=$1$" "$conf" || fail "AllwaysOnTop is not $1"
    [ "${E2E_WM:-}" = openbox ] || return 0
    local state
    for _ in $(seq 1 50); do
        state=$(xprop -id "$window" _NET_WM_STATE)
        if [[ ($1 == 1 && $state == *_NET_WM_STATE_ABOVE*) ||
            ($1 == 0 && $state != *_NET_WM_STATE_ABOVE*) ]]; then
            return 0
        fi
        sleep 0.1
    done
    fail "window state after toggling: $state"
}

expect_live() {
    local delay
    delay=$("$LEVORA_WATCH_BIN" 3000 "$window" -- \
        "$LEVORA_DRIVER_BIN" ctl --dir "$LEVORA_DRIVER_DIR" signal 3 input 1-2 sine 1000 "$1") ||
        fail "the watcher failed"
    echo "$2: the meter changed ${delay} ms after the level"
    [ "$delay" != none ] && [ "$delay" -le "$change_limit_ms" ] || fail "$2: the meter is not live"
}

expect_live -6 "before"
toggle_always_on_top
expect_state 1
[ "$(wait_for_window "Ostrel Levora - Stereo Level Meter")" = "$window" ] ||
    fail "the window was replaced by another"
expect_live -30 "always on top"
toggle_always_on_top
expect_state 0
expect_live -6 "no longer on top"
echo "the meter stayed live through Always on top"

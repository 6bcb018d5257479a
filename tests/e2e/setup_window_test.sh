#!/usr/bin/env bash
# The setup window as a person uses it: F2 opens it at its stored rectangle; a click on
# Compressed Scale and a drag on Top Level change the meter's scale on screen; Escape closes
# it; after the setup window and then the meter window moved, F2 shows it where it was left.
# The settings at exit hold the new values and the rectangle. Screenshots are kept in
# $E2E_ARTIFACTS (default: e2e-artifacts/setup_window in the working directory).
source "$(dirname "$0")/lib.sh"

artifacts="${E2E_ARTIFACTS:-$PWD/e2e-artifacts}/setup_window"
mkdir -p "$artifacts"

# Silent cards, so that only the settings change what the meter shows.
export LEVORA_DRIVER_DIR="$e2e_tmp/driver"
cat >"$e2e_tmp/cards.conf" <<CARDS
card 0 kind 7 speed single
signal 0 all all silence
CARDS
start_driver "$e2e_tmp/cards.conf" madiOut0

cat >"$conf" <<CONF
[Workspace]
NumOfWins=1
Frame0\SWType=0
Frame0\CardNumber=0
Frame0\WinPos.left=40
Frame0\WinPos.top=40
Frame0\WinPos.right=440
Frame0\WinPos.bottom=640
Frame0\SetWinPos.left=500
Frame0\SetWinPos.top=100
Frame0\SetWinPos.right=754
Frame0\SetWinPos.bottom=198
CONF

start_levora
meter=$(wait_for_window "Ostrel Levora - Stereo Level Meter") ||
    fail "no stereo window: $(cat "$e2e_tmp/levora.log")"

# The outer rectangle's top-left corner (a window manager's frame included) and the client size.
geometry() {
    local outer size
    outer=$(outer_geometry "$1")
    size=$(xdotool getwindowgeometry "$1" | awk '/Geometry/ {print $2}')
    echo "$(echo "$outer" | awk '{print $1 "," $2}') $size"
}
shot() { import -window "$1" "$artifacts/$2.png"; }
differing() { compare -metric AE "$artifacts/$1.png" "$artifacts/$2.png" null: 2>&1 || true; }
shot_changed_from() { shoot_until_changed "$1" "$artifacts/$2.png" "$artifacts/$3.png"; }
open_setup() {
    xdotool windowfocus --sync "$meter"
    xdotool key F2
    wait_for_window "Stereo Level Meter Setup"
}

setup=$(open_setup) || fail "F2 opened no setup window"
# The stored 254 x 98 leaves no room for a window manager's frame: the window grows by its
# frame, centred on the stored rectangle (halves truncated toward zero).
read -r _ _ outer_w outer_h <<<"$(outer_geometry "$setup")"
first="$((500 - (outer_w - 254) / 2)),$((100 - (outer_h - 98) / 2)) 254x98"
[ "$(geometry "$setup")" = "$first" ] || fail "the setup window is at $(geometry "$setup"), not $first"
sleep 0.5
shot "$meter" meter-compressed
shot "$setup" setup-opened

# Compressed Scale off: the meter shows the linear scale from Top to Bottom Level.
xdotool mousemove --window "$setup" 198 10 click 1
shot_changed_from "$meter" meter-linear meter-compressed || fail "Compressed Scale off changed nothing"
sleep 0.3
shot "$meter" meter-linear-again
[ "$(differing meter-linear meter-linear-again)" = 0 ] || fail "the silent meter does not stand still"

# Top Level dragged down by 4 pixels: two steps of 10 dB, so the scale starts at -20 dB.
xdotool mousemove --window "$setup" 90 11 mousedown 1 mousemove --window "$setup" 90 15 mouseup 1
shot_changed_from "$meter" meter-top-20 meter-linear || fail "the drag on Top Level left the meter as it was"
shot_changed_from "$setup" setup-top-20 setup-opened || fail "the setup window did not redraw"

# The setup window keeps its rectangle when it moves, and Escape closes it.
xdotool windowmove "$setup" 520 130
sleep 0.3
moved=$(geometry "$setup")
xdotool windowfocus --sync "$setup"
xdotool key Escape
wait_for_no_window "Stereo Level Meter Setup" || fail "Escape did not close the setup window"

# The meter window moves; the setup window opens where it was closed.
xdotool windowmove "$meter" 200 160
sleep 0.3
setup=$(open_setup) || fail "F2 did not open the setup window again"
[ "$(geometry "$setup")" = "$moved" ] || fail "reopened at $(geometry "$setup"), closed at $moved"
import -window root "$artifacts/screen.png"

kill -TERM "$pid"
wait_for_exit "$pid" || fail "levora did not end after SIGTERM"
[ "$exit_code" -eq 0 ] || fail "levora ended with $exit_code: $(cat "$e2e_tmp/levora.log")"

value() { sed -n "s/^$1=//p" "$conf" | head -n 1; }
[ "$(value 'Frame0\\Level%20Meter%20Top%20Level')" = -2000 ] ||
    fail "Top Level stored as '$(value 'Frame0\\Level%20Meter%20Top%20Level')'"
[ "$(value 'Frame0\\Level%20Meter%20Compressed%20Scale')" = 0 ] || fail "Compressed Scale not stored"
# The stored rectangle is the outer one the window had.
[ "$(value 'Frame0\\SetWinPos.left')" = "${moved%%,*}" ] ||
    fail "SetWinPos.left is '$(value 'Frame0\\SetWinPos.left')', the window stood at $moved"
moved_top=${moved#*,}
[ "$(value 'Frame0\\SetWinPos.top')" = "${moved_top%% *}" ] ||
    fail "SetWinPos.top is '$(value 'Frame0\\SetWinPos.top')', the window stood at $moved"
echo "setup window opened, edited, closed and reopened in place"

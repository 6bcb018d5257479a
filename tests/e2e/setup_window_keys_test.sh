#!/usr/bin/env bash
# Keys and commands given in one of two meter windows act on that window: after a value
# dialog the setup window has the keys again (Escape closes it); F4 in a setup window
# switches its own meter; Ctrl+O reads the chosen setup file into the window where it was
# pressed, even though the file dialog was the active window until it closed.
source "$(dirname "$0")/lib.sh"
[ -n "${E2E_TRACE:-}" ] && set -x

# On the program's own demo cards: a stereo window with its setup window below it, and a
# global window beside it.
cat >"$conf" <<CONF
[Workspace]
NumOfWins=2
Frame0\SWType=0
Frame0\WinPos.left=20
Frame0\WinPos.top=30
Frame0\WinPos.right=420
Frame0\WinPos.bottom=630
Frame0\SetWinPos.left=60
Frame0\SetWinPos.top=700
Frame0\SetWinPos.right=314
Frame0\SetWinPos.bottom=798
Frame1\SWType=2
Frame1\WinPos.left=600
Frame1\WinPos.top=30
Frame1\WinPos.right=1000
Frame1\WinPos.bottom=630
CONF

start_levora
stereo=$(wait_for_window "Stereo Level Meter") || fail "no stereo window: $(cat "$e2e_tmp/levora.log")"
global=$(wait_for_window "Global Level Meter") || fail "no global window"

open_setup() {
    xdotool windowfocus --sync "$stereo"
    xdotool key F2
    wait_for_window "Stereo Level Meter Setup"
}

# A double click on Top Level opens Input Value; after Cancel, Escape reaches the setup
# window, not the meter.
setup=$(open_setup) || fail "F2 opened no setup window"
xdotool windowfocus --sync "$setup"
xdotool mousemove --window "$setup" 90 11 click --repeat 2 --delay 80 1
dialog=$(wait_for_window "Input Value") || fail "the double click opened no Input Value"
xdotool windowfocus --sync "$dialog"
xdotool key Escape
wait_for_no_window "Input Value" || fail "Escape did not cancel Input Value"
sleep 0.3
xdotool key Escape
wait_for_no_window "Stereo Level Meter Setup" ||
    fail "after the dialog the keys went to '$(xdotool getwindowfocus getwindowname)'"

# F4 in the setup window: Function Select for the stereo window, which becomes a
# multi-channel meter; the global window stays as it was.
setup=$(open_setup) || fail "F2 did not open the setup window again"
xdotool windowfocus --sync "$setup"
xdotool key F4
dialog=$(wait_for_window "Function Select") || fail "F4 in the setup window opened no Function Select"
xdotool windowfocus --sync "$dialog"
xdotool key Down
xdotool key Return 2>/dev/null || true
multi=$(wait_for_window "Multichannel Level Meter") || fail "the setup window's meter did not switch"
[ "$multi" = "$stereo" ] || fail "another window became the multi-channel meter"
xdotool search --onlyvisible --name "Global Level Meter" >/dev/null || fail "the global window switched"

# Ctrl+O in the global window with a stereo setup file: that window reads it, no new one.
cat >"$e2e_tmp/stereo.lvr" <<SETUP
Stereo Level Meter
General=00000,00,00600,01000,00040,00640,00200,00400,00300,00400,1,1
Font=-13,0,0,0,0,ARIAL

SETUP
xdotool windowfocus --sync "$global"
xdotool key ctrl+o
chooser=$(wait_for_window "Open") || fail "Ctrl+O opened no file dialog"
xdotool windowfocus --sync "$chooser"
sleep 0.3
xdotool type --delay 20 "$e2e_tmp/stereo.lvr"
xdotool key Return
read_into=$(wait_for_window "stereo.lvr") || fail "the setup file was not read"
[ "$read_into" = "$global" ] || fail "the file went to another window"
windows=$(xdotool search --onlyvisible --name "Ostrel Levora - " | wc -l)
[ "$windows" -eq 2 ] || fail "$windows meter windows after Open Setup"
xdotool search --onlyvisible --name "Multichannel Level Meter" >/dev/null ||
    fail "the other window changed"
echo "value dialog, F4 and Open Setup acted on the window of the command"

#!/usr/bin/env bash
# The shell as a person drives it: levora on levora-driver's cards, a second launch that
# hands over a new window, the function keys L, M and G, and SIGTERM; the settings then hold
# both windows with their functions and selections.
source "$(dirname "$0")/lib.sh"
[ -n "${E2E_TRACE:-}" ] && set -x

export LEVORA_DRIVER_DIR="$e2e_tmp/driver"
cat >"$e2e_tmp/cards.conf" <<CARDS
card 0 kind 7 speed single
card 3 kind 6 speed double
signal 0 all all sine 1000 -20
CARDS
start_driver "$e2e_tmp/cards.conf" kestrelOut0

# The first window restores a stereo meter on the Kestrel card, pair 2.
cat >"$conf" <<CONF
[Workspace]
NumOfWins=1
Frame0\SWType=0
Frame0\CardNumber=3
Frame0\ChanNumber=2
Frame0\BusType=1
CONF

start_levora
first=$(wait_for_window "Stereo Level Meter") || fail "no stereo window: $(cat "$e2e_tmp/levora.log")"

# A second launch hands over: the running instance asks for the new window's function.
"$LEVORA_BIN" 2>>"$e2e_tmp/levora.log" || fail "the second launch failed"
dialog=$(wait_for_window "Function Select") || fail "no Function Select after the hand-over"
xdotool windowfocus --sync "$dialog"
xdotool key Down
# Return closes the dialog; the key's release then meets no window, which xdotool reports.
xdotool key Return 2>/dev/null || true
second=$(wait_for_window "Multichannel Level Meter") || fail "the handed-over window is missing"

# G switches the new window to the global meter, L the first one to the stereo meter again
# after M made it a multi-channel meter.
xdotool windowfocus --sync "$second"
xdotool key g
wait_for_window "Global Level Meter" >/dev/null || fail "G did not switch"
xdotool windowfocus --sync "$first"
xdotool key m
wait_for_window "Multichannel Level Meter" >/dev/null || fail "M did not switch"
xdotool key l
sleep 0.5
import -window root "$e2e_tmp/screen.png"

kill -TERM "$pid"
wait_for_exit "$pid" || fail "levora did not end after SIGTERM"
[ "$exit_code" -eq 0 ] || fail "levora ended with $exit_code: $(cat "$e2e_tmp/levora.log")"

value() { sed -n "s/^$1=//p" "$conf" | head -n 1; }
[ "$(value 'NumOfWins')" = 2 ] || fail "NumOfWins is '$(value NumOfWins)'"
[ "$(value 'Frame0\\SWType')" = 0 ] || fail "window 0 is not a stereo meter"
[ "$(value 'Frame0\\CardNumber')" = 3 ] || fail "window 0 lost its card"
[ "$(value 'Frame0\\ChanNumber')" = 2 ] || fail "window 0 lost its pair"
[ "$(value 'Frame0\\BusType')" = 1 ] || fail "window 0 lost its bus"
[ "$(value 'Frame1\\SWType')" = 2 ] || fail "window 1 is not a global meter"
grep -q '^\[Temp' "$conf" && fail "the Temp key survived Exit"
echo "both windows stored"

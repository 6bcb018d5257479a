#!/usr/bin/env bash
# On a screen at twice the pixel density the setup window shows its bitmaps at twice their
# size, every bitmap pixel a sharp 2 x 2 block, and a click lands on the control under it.
# The screenshot is kept in $E2E_ARTIFACTS (default: e2e-artifacts/setup_window_hidpi).
source "$(dirname "$0")/lib.sh"

artifacts="${E2E_ARTIFACTS:-$PWD/e2e-artifacts}/setup_window_hidpi"
mkdir -p "$artifacts"

cat >"$conf" <<CONF
[Workspace]
NumOfWins=1
Frame0\SWType=1
Frame0\SetWinPos.left=100
Frame0\SetWinPos.top=50
Frame0\SetWinPos.right=354
Frame0\SetWinPos.bottom=148
CONF

QT_SCALE_FACTOR=2 start_levora
meter=$(wait_for_window "Ostrel Levora - Multichannel Level Meter") ||
    fail "no window: $(cat "$e2e_tmp/levora.log")"
xdotool windowfocus --sync "$meter"
xdotool key F2
setup=$(wait_for_window "^Level Meter Setup") || fail "F2 opened no setup window"
size=$(xdotool getwindowgeometry "$setup" | awk '/Geometry/ {print $2}')
[ "$size" = 508x196 ] || fail "the setup window measures $size device pixels"
sleep 0.5
import -window "$setup" "$artifacts/setup.png"

# Halving by picking every other pixel and doubling again gives the same picture only when
# no pixel was smoothed.
convert "$artifacts/setup.png" -sample 50% -sample 200% "$e2e_tmp/resampled.png"
blurred=$(compare -metric AE "$artifacts/setup.png" "$e2e_tmp/resampled.png" null: 2>&1 || true)
[ "$blurred" = 0 ] || fail "$blurred device pixels are not part of a 2 x 2 block"

# RMS +3dB (table pixel 198, 40) switched off by a click at twice the coordinates.
before=$(convert "$artifacts/setup.png" -format '%[pixel:p{396,80}]' info:)
xdotool mousemove --window "$setup" 398 82 click 1
shoot_until_changed "$setup" "$artifacts/setup-rms-off.png" "$artifacts/setup.png" ||
    fail "the click did not redraw the setup window"
after=$(convert "$artifacts/setup-rms-off.png" -format '%[pixel:p{396,80}]' info:)
[ "$before" != "$after" ] || fail "the click did not switch RMS +3dB"

kill -TERM "$pid"
wait_for_exit "$pid" || fail "levora did not end after SIGTERM"
[ "$exit_code" -eq 0 ] || fail "levora ended with $exit_code: $(cat "$e2e_tmp/levora.log")"
[ "$(sed -n 's/^Frame0\\RMS%20%2B3dB=//p' "$conf" | head -n 1)" = 0 ] || fail "RMS +3dB not stored off"
echo "the setup window is drawn at twice its size, sharp, and answers clicks there"

#!/usr/bin/env bash
# The meters as a person sees them: levora-driver plays a sine at -20 dBFS on channels 1 and 2
# of a Kestrel card and silence elsewhere; a stereo window on that pair and a multi-channel
# window on its group, both on a linear 0..-60 dB scale with peak bars. In screenshots the
# peak bars of the pair end on the -20 dB row of the scale and the silent bars are black.
# Screenshots are kept in $E2E_ARTIFACTS (default: e2e-artifacts/meter_levels).
source "$(dirname "$0")/lib.sh"

artifacts="${E2E_ARTIFACTS:-$PWD/e2e-artifacts}/meter_levels"
mkdir -p "$artifacts"

export LEVORA_DRIVER_DIR="$e2e_tmp/driver"
cat >"$e2e_tmp/cards.conf" <<CARDS
card 3 kind 0 speed single
signal 3 all all silence
signal 3 input 1-2 sine 1000 -20
CARDS
start_driver "$e2e_tmp/cards.conf" kestrelOut0

# Parameters are stored in hundredths; 0 turns the compressed scale off and makes the
# multi-channel bars show peaks.
cat >"$conf" <<CONF
[Workspace]
NumOfWins=2
Frame0\SWType=0
Frame0\CardNumber=3
Frame0\ChanNumber=0
Frame0\WinPos.left=20
Frame0\WinPos.top=20
Frame0\WinPos.right=300
Frame0\WinPos.bottom=620
Frame0\Level%20Meter%20Compressed%20Scale=0
Frame1\SWType=1
Frame1\CardNumber=3
Frame1\GroupNumber=0
Frame1\WinPos.left=400
Frame1\WinPos.top=20
Frame1\WinPos.right=800
Frame1\WinPos.bottom=620
Frame1\Level%20Meter%20Compressed%20Scale=0
Frame1\Bar%20level%20type%20select=0
CONF

start_levora
stereo=$(wait_for_window "Ostrel Levora - Stereo Level Meter") ||
    fail "no stereo window: $(cat "$e2e_tmp/levora.log")"
multi=$(wait_for_window "Ostrel Levora - Multichannel Level Meter") ||
    fail "no multi-channel window: $(cat "$e2e_tmp/levora.log")"
# Past the first polls and readouts.
sleep 1.5
import -window "$stereo" "$artifacts/stereo.png"
import -window "$multi" "$artifacts/multi.png"

# check IMAGE BARS AT_MINUS_20 [LOWER]: finds the bars (runs of black and the normal green in
# a row near their bottom), reads the -20 dB row off the scale ticks right of the first bar,
# and checks that the bars numbered (from 0) in AT_MINUS_20 end on that row, those in LOWER
# show a lower level and all others are black inside.
check() {
    convert "$1" "$e2e_tmp/shot.ppm"
    python3 - "$e2e_tmp/shot.ppm" "$2" "$3" "${4:-}" <<'PY' || fail "$1: the bars do not show the levels"
import sys

data = open(sys.argv[1], "rb").read()
fields, pos = [], 0
while len(fields) < 4 and pos < len(data):
    while data[pos:pos + 1].isspace():
        pos += 1
    start = pos
    while not data[pos:pos + 1].isspace():
        pos += 1
    fields.append(data[start:pos])
pixels = data[pos + 1:]
width, height = int(fields[1]), int(fields[2])
bars = int(sys.argv[2])
live, lower = ([int(b) for b in arg.split(",") if b] for arg in sys.argv[3:5])

def rgb(x, y):
    i = 3 * (y * width + x)
    return tuple(pixels[i:i + 3])

BLACK, GREEN = (0, 0, 0), (0, 220, 0)

def runs(y):
    found, start = [], None
    for x in range(width + 1):
        inside = x < width and rgb(x, y) in (BLACK, GREEN)
        if inside and start is None:
            start = x
        elif not inside and start is not None:
            if 6 <= x - start <= 40:
                found.append((start, x))
            start = None
    return found

def bar_row(found):
    # Bars are about half their pitch wide; a tick line runs the whole pitch.
    return len(found) == bars and all(
        4 * (right - left) <= 3 * (found[1][0] - found[0][0]) for left, right in found)

row = next((y for y in range(height - 1, 0, -1) if bar_row(runs(y))), None)
if row is None:
    sys.exit(f"no row with {bars} bars")
columns = runs(row)
centres = [(left + right) // 2 for left, right in columns]
pitch = centres[1] - centres[0]

def strip_top(x):
    # The bar and the black strip above it, up to the background below the readout.
    y = row
    while y > 0 and rgb(x, y - 1) in (BLACK, GREEN):
        y -= 1
    return y

top = strip_top(centres[0])
tick_x = centres[0] + pitch // 2 - 1
ticks = sorted({y for y in range(top, row) if rgb(tick_x, y) == BLACK})
if len(ticks) < 4:
    sys.exit(f"scale ticks at {ticks}")
minus20 = ticks[2]
for i, (left, right) in enumerate(columns):
    inner = range(left + 1, right - 1)
    green = [y for y in range(top, row + 1) if rgb(left + 1, y) == GREEN]
    end = green[0] - 1 if green else None
    if i in live:
        if end is None or abs(end - minus20) > 1:
            sys.exit(f"bar {i} ends at {end}, -20 dB is {minus20}")
    elif i in lower:
        if end is None or end <= minus20 + 1:
            sys.exit(f"bar {i} ends at {end}, not below -20 dB at {minus20}")
    elif any(rgb(x, y) != BLACK for x in inner for y in range(strip_top(x), row + 1)):
        sys.exit(f"silent bar {i} is not black")
print(f"{bars} bars, -20 dB at row {minus20}: bars {live} end there")
PY
}

# Stereo: RMS A, peak A, peak B, RMS B; the RMS bars show the sine's -23 dB.
check "$artifacts/stereo.png" 4 1,2 0,3
check "$artifacts/multi.png" 8 0,1
kill -TERM "$pid"
wait_for_exit "$pid" || fail "levora did not end after SIGTERM"
echo "meters show the sine on their -20 dB rows"

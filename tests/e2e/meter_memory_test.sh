#!/usr/bin/env bash
# A meter window's pixels exist once, in levora's own memory: a big global window on the demo
# MADI card, metering, holds no more shared memory than the 4 MiB ring through which pixels
# reach the X server and Qt's stores of the bars around the meter. Regression: Qt's backing
# store of the whole window, in shared memory, kept a second copy of the meter beside the
# meter's own image, twice the memory for forty windows.
E2E_SCREEN=1920x1200x24
source "$(dirname "$0")/lib.sh"
: "${LEVORA_WATCH_BIN:?LEVORA_WATCH_BIN must name the built levora-window-watch}"

cat >"$conf" <<CONF
[Workspace]
NumOfWins=1
Frame0\SWType=2
Frame0\CardNumber=0
Frame0\WinPos.left=10
Frame0\WinPos.top=10
Frame0\WinPos.right=1900
Frame0\WinPos.bottom=1100
CONF

start_levora
id=$(wait_for_window "Ostrel Levora - Global Level Meter") || fail "no global window came up"
# Metering: the window's picture changes on the screen (once the window manager is done
# placing it).
metering() { awk -v r="$rate" 'BEGIN { exit !(r >= 5) }'; }
for _ in $(seq 1 10); do
    rate=$("$LEVORA_WATCH_BIN" --rate 1 "$id" 2>/dev/null)
    metering && break
done
metering || fail "the window changed $rate times a second"

read -r width height < <(xwininfo -id "$id" | awk '/Width:/ {w = $NF} /Height:/ {h = $NF}
    END {print w, h}')
client_kib=$((width * height * 4 / 1024))
shared_kib=$(awk '$1 == "RssShmem:" {print $2}' "/proc/$pid/status")
echo "client area ${width}x${height}: $client_kib KiB; shared memory in use: $shared_kib KiB"
# The ring, and Qt's backing store of the menu, tool and status bars around the meter.
[ "$shared_kib" -lt $((4096 + client_kib / 2)) ] ||
    fail "$shared_kib KiB of shared memory for a client area of $client_kib KiB"

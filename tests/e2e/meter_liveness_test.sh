#!/usr/bin/env bash
# Meters follow the levels while nobody touches the session: no pointer, no keys. A stereo, a
# multi-channel and a global window watch a Kestrel card whose channels 1 and 2 carry a tone
# that gets louder and softer; a watcher reading the windows from the X server sees every
# window change within 100 ms of each change of signal, at scale factor 1 and 2. (After
# silence a falling peak's readout moves for many seconds; a softer tone lets it settle.)
# Regression: incremental drawing sent to X11 was queued and never flushed, so an idle
# session showed a level change seconds later or never.
E2E_SCREEN=2560x2048x24
source "$(dirname "$0")/lib.sh"
: "${LEVORA_WATCH_BIN:?LEVORA_WATCH_BIN must name the built levora-window-watch}"

start_tone_driver -40

# Apart from each other, so that no window's pixels show another's.
cat >"$conf" <<CONF
[Workspace]
NumOfWins=3
Frame0\SWType=0
Frame0\CardNumber=3
Frame0\ChanNumber=0
Frame0\WinPos.left=10
Frame0\WinPos.top=10
Frame0\WinPos.right=290
Frame0\WinPos.bottom=450
Frame1\SWType=1
Frame1\CardNumber=3
Frame1\GroupNumber=0
Frame1\WinPos.left=320
Frame1\WinPos.top=10
Frame1\WinPos.right=720
Frame1\WinPos.bottom=450
Frame2\SWType=2
Frame2\CardNumber=3
Frame2\WinPos.left=10
Frame2\WinPos.top=500
Frame2\WinPos.right=1000
Frame2\WinPos.bottom=950
CONF

signal() {
    "$LEVORA_WATCH_BIN" 3000 "${windows[@]}" -- \
        "$LEVORA_DRIVER_BIN" ctl --dir "$LEVORA_DRIVER_DIR" signal 3 input 1-2 "$@" \
        >"$e2e_tmp/delays" || fail "the watcher failed"
    local name delay
    for name in stereo multi global; do
        read -r delay
        echo "scale $scale, $name window: ${delay} ms after 'signal $*'"
        [ "$delay" != none ] || fail "the $name window did not change at all"
        [ "$delay" -le "$change_limit_ms" ] || fail "the $name window changed after $delay ms"
    done <"$e2e_tmp/delays"
}

for scale in 1 2; do
    QT_SCALE_FACTOR=$scale start_levora
    windows=()
    for title in "Stereo Level Meter" "Multichannel Level Meter" "Global Level Meter"; do
        windows+=("$(wait_for_window "Ostrel Levora - $title")") ||
            fail "no window '$title': $(cat "$e2e_tmp/levora.log")"
    done
    signal sine 1000 -6
    signal sine 1000 -30
    signal sine 1000 -10
    kill -TERM "$pid"
    wait_for_exit "$pid" || fail "levora did not end after SIGTERM"
    "$LEVORA_DRIVER_BIN" ctl --dir "$LEVORA_DRIVER_DIR" signal 3 input 1-2 sine 1000 -40 >/dev/null
done
echo "every window followed every change within $change_limit_ms ms"

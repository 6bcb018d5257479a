#!/usr/bin/env bash
# A card pulled out while the program runs, as a person sees it: the stereo window on it
# turns its bars grey with a message instead of freezing the last levels, and shows levels
# again once the card is back; both happen by themselves, with nobody touching the program.
# A window that started before its driver shows why it is empty, stderr says so once, and
# the window meters once the driver runs.
source "$(dirname "$0")/lib.sh"

artifacts="${E2E_ARTIFACTS:-$PWD/e2e-artifacts}/card_unplug"
mkdir -p "$artifacts"

export LEVORA_DRIVER_DIR="$e2e_tmp/driver"
mkdir -m 700 "$LEVORA_DRIVER_DIR"
cat >"$e2e_tmp/cards.conf" <<CARDS
card 3 kind 0 speed single
signal 3 all all silence
signal 3 input 1-2 sine 1000 -10
CARDS

cat >"$conf" <<CONF
[Workspace]
NumOfWins=2
Frame0\SWType=0
Frame0\CardNumber=3
Frame0\ChanNumber=0
Frame0\WinPos.left=20
Frame0\WinPos.top=20
Frame0\WinPos.right=320
Frame0\WinPos.bottom=620
Frame1\SWType=2
Frame1\CardNumber=3
Frame1\WinPos.left=400
Frame1\WinPos.top=20
Frame1\WinPos.right=900
Frame1\WinPos.bottom=620
CONF

# The driver is not running yet.
start_levora
stereo=$(wait_for_window "Ostrel Levora - Stereo Level Meter") ||
    fail "no stereo window: $(cat "$e2e_tmp/levora.log")"
global=$(wait_for_window "Ostrel Levora - Global Level Meter") ||
    fail "no global window: $(cat "$e2e_tmp/levora.log")"

# count_colour IMAGE R,G,B [CROP]: how many pixels of the image (or of its CROP, an
# ImageMagick geometry around the centre) have that colour.
count_colour() {
    convert "$1" ${3:+-gravity center -crop "$3" +repage} -format %c histogram:info:- |
        awk -v want="($2)" '{ gsub(/ /, ""); split($0, f, ":"); if (f[2] ~ "^\\" want) n += f[1] }
                             END { print n + 0 }'
}

GREY=112,112,112 # the bars of a meter that no card feeds
GREEN=0,220,0    # NormalColor: the levels
WHITE=255,255,255

# wait_until WINDOW NAME TEST...: shoots the window into $artifacts/NAME.png until the
# command TEST (given the image) succeeds, for up to 10 s.
wait_until() {
    local window=$1 shot="$artifacts/$2.png"
    shift 2
    for _ in $(seq 1 100); do
        import -window "$window" "$shot" 2>/dev/null && "$@" "$shot" && return 0
        sleep 0.1
    done
    return 1
}
# Levels show; a few grey pixels belong to the tool bar's icons.
live() { [ "$(count_colour "$1" $GREEN)" -gt 200 ] && [ "$(count_colour "$1" $GREY)" -lt 1000 ]; }
grey_bars() { [ "$(count_colour "$1" $GREEN)" -lt 100 ] && [ "$(count_colour "$1" $GREY)" -gt 2000 ]; }
# No levels and no bars, but the message box across the middle.
says_why() {
    [ "$(count_colour "$1" $GREEN)" -lt 100 ] &&
        [ "$(count_colour "$1" $WHITE 100%x20%+0+0)" -gt 1000 ]
}

wait_until "$stereo" stereo_without_driver grey_bars || fail "the stereo window does not show that no card answers"
wait_until "$global" global_without_driver says_why || fail "the global window does not say why it is empty"
grep -c "no card driver answers in $LEVORA_DRIVER_DIR" "$e2e_tmp/levora.log" | grep -qx 1 ||
    fail "stderr does not say once that no driver answers: $(cat "$e2e_tmp/levora.log")"

start_driver "$e2e_tmp/cards.conf" kestrelOut0
wait_until "$stereo" stereo_driver_started live || fail "the stereo window does not meter the card of a late driver"
wait_until "$global" global_driver_started live || fail "the global window does not meter the card of a late driver"

ctl() { "$LEVORA_DRIVER_BIN" ctl --dir "$LEVORA_DRIVER_DIR" "$@" >/dev/null; }
ctl unplug 3
wait_until "$stereo" stereo_unplugged grey_bars || fail "the stereo window still looks live after unplug"
wait_until "$global" global_unplugged grey_bars || fail "the global window still looks live after unplug"
ctl plug 3
wait_until "$stereo" stereo_plugged live || fail "the stereo window did not come back after plug"
wait_until "$global" global_plugged live || fail "the global window did not come back after plug"

kill -TERM "$pid"
wait_for_exit "$pid" || fail "levora did not end after SIGTERM"
echo "not-live shown after unplug and without a driver, live again after plug and driver start"

#!/usr/bin/env bash
# Levora on a live JACK graph: the tests' private JACK server (dummy backend), a tone client
# playing a 1 kHz sine at half scale into system:playback_1 only, and levora with a graph card
# in slot 0 (LEVORA_GRAPH). The stereo window on playback channels 1+2 shows the tone on the
# left bar only, a window on channels 3+4 stays dark. The server stopped: the window shows
# that no card answers; started again: it meters again by itself. Then the same through
# levora-driver: its graph card serves the levels over the sockets, and `ctl list` names the
# server's rate and the ports each bus taps.
source "$(dirname "$0")/lib.sh"
: "${LEVORA_JACK_TONE_BIN:?LEVORA_JACK_TONE_BIN must name the built levora-jack-tone}"

artifacts="${E2E_ARTIFACTS:-$PWD/e2e-artifacts}/graph_card"
mkdir -p "$artifacts"

jack_script="$(dirname "$0")/../graph/jack_server.sh"
jack_pid=/tmp/levora-test-jackd.pid
# One server name for all tests: they take turns. The server ends after its clients.
exec 9>/tmp/levora-test-jackd.lock
flock 9
trap 'e2e_cleanup; bash "$jack_script" stop "$jack_pid"' EXIT

start_jack() {
    bash "$jack_script" start 48000 "$jack_pid" || fail "no JACK server"
    "$LEVORA_JACK_TONE_BIN" levora-test 1:sine:0.5 >"$e2e_tmp/tone.log" 2>&1 &
    kill_at_exit $!
}

cat >"$conf" <<CONF
[Workspace]
NumOfWins=2
Frame0\SWType=0
Frame0\CardNumber=0
Frame0\BusType=1
Frame0\ChanNumber=0
Frame0\WinPos.left=20
Frame0\WinPos.top=20
Frame0\WinPos.right=320
Frame0\WinPos.bottom=620
Frame1\SWType=0
Frame1\CardNumber=0
Frame1\BusType=1
Frame1\ChanNumber=1
Frame1\WinPos.left=400
Frame1\WinPos.top=20
Frame1\WinPos.right=700
Frame1\WinPos.bottom=620
CONF

GREEN=0,220,0    # NormalColor: the levels
GREY=112,112,112 # the bars of a meter that no card feeds

# colour_in IMAGE R,G,B [SIDE]: how many pixels of that colour the image has, or its half
# on SIDE (West or East).
colour_in() {
    convert "$1" ${3:+-gravity "$3" -crop 50%x100%+0+0 +repage} -format %c histogram:info:- |
        awk -v want="($2)" '{ gsub(/ /, ""); split($0, f, ":"); if (f[2] ~ "^\\" want) n += f[1] }
                            END { print n + 0 }'
}
# The tone on channel 1: the left half of the window (its RMS and peak bars) is lit, the
# right half (channel 2) is not.
left_only() { [ "$(colour_in "$1" $GREEN West)" -gt 2000 ] && [ "$(colour_in "$1" $GREEN East)" -lt 50 ]; }
dark() { [ "$(colour_in "$1" $GREEN)" -lt 50 ] && [ "$(colour_in "$1" $GREY)" -lt 1000 ]; }
grey_bars() { [ "$(colour_in "$1" $GREEN)" -lt 50 ] && [ "$(colour_in "$1" $GREY)" -gt 2000 ]; }

# wait_until WINDOW NAME TEST: shoots the window into $artifacts/NAME.png until the command
# TEST (given the image) succeeds, for up to 10 s.
wait_until() {
    local window=$1 shot="$artifacts/$2.png"
    for _ in $(seq 1 100); do
        import -window "$window" "$shot" 2>/dev/null && "$3" "$shot" && return 0
        sleep 0.1
    done
    return 1
}

# Prints the ids of the two stereo windows, the one on channels 1+2 (further left) first.
stereo_windows() {
    local ids
    for _ in $(seq 1 100); do
        ids=$(xdotool search --onlyvisible --name "Ostrel Levora - Stereo Level Meter" 2>/dev/null || true)
        [ "$(echo "$ids" | grep -c .)" -ge 2 ] && break
        sleep 0.1
    done
    [ "$(echo "$ids" | grep -c .)" -ge 2 ] || return 1
    for id in $ids; do
        echo "$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $NF}') $id"
    done | sort -n | awk '{print $2}'
}

start_jack
export LEVORA_GRAPH=jack:levora-test
start_levora
ids=$(stereo_windows) || fail "no two stereo windows: $(cat "$e2e_tmp/levora.log")"
first=$(echo "$ids" | sed -n 1p) second=$(echo "$ids" | sed -n 2p)

wait_until "$first" tone left_only || fail "channels 1+2 do not show the tone on channel 1 alone"
wait_until "$second" silent dark || fail "channels 3+4 are not dark"

bash "$jack_script" stop "$jack_pid"
wait_until "$first" server_stopped grey_bars || fail "the window does not show that no card answers"

start_jack
wait_until "$first" server_back left_only || fail "the window does not meter again after the server returned"
wait_until "$second" server_back_silent dark || fail "channels 3+4 are not dark after the restart"

kill -TERM "$pid"
wait_for_exit "$pid" || fail "levora did not end after SIGTERM"

# The daemon's graph card, read by the program over the sockets.
unset LEVORA_GRAPH
export LEVORA_DRIVER_DIR="$e2e_tmp/driver"
echo "graph 0 jack levora-test" >"$e2e_tmp/cards.conf"
start_driver "$e2e_tmp/cards.conf" madiOut0
list=$("$LEVORA_DRIVER_BIN" ctl --dir "$LEVORA_DRIVER_DIR" list)
for _ in $(seq 1 50); do
    echo "$list" | grep -q "playback: system" && break
    sleep 0.1
    list=$("$LEVORA_DRIVER_BIN" ctl --dir "$LEVORA_DRIVER_DIR" list)
done
echo "$list" | grep -q "^slot 0 madiOut0: kind 7 graph jack server levora-test: rate 48000 period 256$" ||
    fail "ctl list does not show the graph card's server and rate: $list"
echo "$list" | grep -q "^  playback: system:playback_1 system:playback_2 " ||
    fail "ctl list does not show the playback ports: $list"
start_levora
ids=$(stereo_windows) || fail "no two stereo windows on the driver: $(cat "$e2e_tmp/levora.log")"
first=$(echo "$ids" | sed -n 1p) second=$(echo "$ids" | sed -n 2p)
wait_until "$first" driver_tone left_only || fail "the driver's graph card does not show the tone on channel 1"
wait_until "$second" driver_silent dark || fail "channels 3+4 are not dark on the driver's graph card"
echo "tone on the left bar of channels 1+2, grey while the server was away, metering again after; the same through levora-driver"

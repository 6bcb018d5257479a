#!/usr/bin/env bash
# Levora on a live JACK graph: the tests' private JACK server (dummy backend), a tone client
# playing a 1 kHz sine at half scale into system:playback_1 only, and levora with a graph card
# in slot 0 (LEVORA_GRAPH). The stereo window on playback channels 1+2 shows the tone on the
# left bar only, a window on channels 3+4 stays dark. The server stopped: the window shows
# that no card answers; started again at 96 kHz: it meters again by itself, on the same bars
# at double speed. Then the same through levora-driver: its graph card serves the levels over
# the sockets, and `ctl list` names the server's rate and the ports each bus taps.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/graph_windows.sh"
: "${LEVORA_JACK_TONE_BIN:?LEVORA_JACK_TONE_BIN must name the built levora-jack-tone}"

jack_script="$(dirname "$0")/../graph/jack_server.sh"
jack_pid=/tmp/levora-test-jackd.pid
# One server name for all tests: they take turns. The server ends after its clients.
exec 9>/tmp/levora-test-jackd.lock
flock 9
trap 'e2e_cleanup; bash "$jack_script" stop "$jack_pid"' EXIT

start_jack() { # [RATE]
    bash "$jack_script" start "${1:-48000}" "$jack_pid" || fail "no JACK server"
    "$LEVORA_JACK_TONE_BIN" levora-test 1:sine:0.5 >"$e2e_tmp/tone.log" 2>&1 &
    kill_at_exit $!
}
stop_jack() { bash "$jack_script" stop "$jack_pid"; }
start_jack_fast() { start_jack 96000; }

start_jack
export LEVORA_GRAPH=jack:levora-test
follow_server stop_jack start_jack_fast

# The daemon's graph card, read by the program over the sockets.
unset LEVORA_GRAPH
export LEVORA_DRIVER_DIR="$e2e_tmp/driver"
echo "graph 0 jack levora-test" >"$e2e_tmp/cards.conf"
start_driver "$e2e_tmp/cards.conf" madiOut0
list=$(driver_list "playback: system")
echo "$list" | grep -q "^slot 0 madiOut0: kind 7 graph jack server levora-test: rate 96000 period 256$" ||
    fail "ctl list does not show the graph card's server and rate: $list"
echo "$list" | grep -q "^  playback: system:playback_1 system:playback_2 " ||
    fail "ctl list does not show the playback ports: $list"
start_levora
show_tone driver
echo "tone on the left bar of channels 1+2, grey while the server was away, metering again after; the same through levora-driver"

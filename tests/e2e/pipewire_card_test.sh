#!/usr/bin/env bash
# Levora on a live PipeWire graph: the tests' private PipeWire server (null sink, own runtime
# directory), a tone client playing a 1 kHz sine at half scale into channel 1 of the sink
# only, and levora with a graph card in slot 0 (LEVORA_GRAPH=pipewire). The stereo window on
# playback channels 1+2 shows the tone on the left bar only, a window on channels 3+4 stays
# dark. The server stopped: the window shows that no card answers; started again: it meters
# again by itself. Then the same through levora-driver: its graph card serves the levels over
# the sockets, and `ctl list` names the server, its rate and the node each bus records.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/graph_windows.sh"
: "${LEVORA_PIPEWIRE_TONE_BIN:?LEVORA_PIPEWIRE_TONE_BIN must name the built levora-pipewire-tone}"

pw_script="$(dirname "$0")/../graph/pipewire_server.sh"
# Outside $e2e_tmp: the server is stopped after e2e_cleanup removed that.
pw_dir=$(mktemp -d /tmp/levora-pw.XXXXXX)
trap 'e2e_cleanup; bash "$pw_script" stop "$pw_dir"; rm -rf "$pw_dir"' EXIT
# Every client of this test, levora among them, reaches the private server only.
export PIPEWIRE_RUNTIME_DIR=$pw_dir
unset PIPEWIRE_REMOTE

start_pipewire() {
    bash "$pw_script" start "$pw_dir" 48000 || fail "no PipeWire server"
    "$LEVORA_PIPEWIRE_TONE_BIN" 1:sine:0.5 >"$e2e_tmp/tone.log" 2>&1 &
    kill_at_exit $!
}
stop_pipewire() { bash "$pw_script" stop "$pw_dir"; }

start_pipewire
export LEVORA_GRAPH=pipewire
follow_server stop_pipewire start_pipewire

# The daemon's graph card, read by the program over the sockets.
unset LEVORA_GRAPH
export LEVORA_DRIVER_DIR="$e2e_tmp/driver"
echo "graph 0 pipewire" >"$e2e_tmp/cards.conf"
start_driver "$e2e_tmp/cards.conf" madiOut0
list=$(driver_list "period [1-9]" "playback: .*, [1-9][0-9]* channels")
echo "$list" | grep -q "^slot 0 madiOut0: kind 7 graph pipewire server pipewire-0: rate 48000 period 1024$" ||
    fail "ctl list does not show the graph card's server and rate: $list"
echo "$list" | grep -q "^  playback: monitor of levora-test-sink, 64 channels$" ||
    fail "ctl list does not show the node playback records: $list"
echo "$list" | grep -q "^  output: as playback$" || fail "ctl list does not show what output taps: $list"
start_levora
show_tone driver
echo "tone on the left bar of channels 1+2, grey while the server was away, metering again after; the same through levora-driver"

#!/usr/bin/env bash
# From a sample entering the live graph to the pixel on the screen: levora under Xvfb with a
# graph card on the tests' private server (pipewire: null sink, 1024-frame periods; jack:
# dummy backend, 256-frame periods), a tone client held silent (LEVORA_TONE_HELD) on
# channel 1. levora-window-watch waits until the stereo window on channels 1+2 is steady,
# releases the tone (SIGUSR1) and prints when the window's pixels changed. The delay holds
# the wait for the tone's next period, the graph's period, a poll (20 ms) and a frame. RUNS
# runs, a new held tone client each; prints each delay, then min / median / max and the load.
#
#   LEVORA_BIN=... LEVORA_WATCH_BIN=... LEVORA_PIPEWIRE_TONE_BIN=... LEVORA_JACK_TONE_BIN=... \
#       bash bench/graph_latency.sh pipewire|jack [RUNS]
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/lib.sh"
source "$here/../tests/e2e/graph_windows.sh"
backend=$1 runs=${2:-10}

if [ "$backend" = pipewire ]; then
    pw_dir=$(mktemp -d /tmp/levora-pw.XXXXXX)
    trap 'e2e_cleanup; bash "$here/../tests/graph/pipewire_server.sh" stop "$pw_dir"; rm -rf "$pw_dir"' EXIT
    export PIPEWIRE_RUNTIME_DIR=$pw_dir LEVORA_GRAPH=pipewire
    bash "$here/../tests/graph/pipewire_server.sh" start "$pw_dir" 48000 || fail "no PipeWire server"
    tone() { LEVORA_TONE_HELD=1 "$LEVORA_PIPEWIRE_TONE_BIN" 1:sine:0.5 & }
    period=1024
else
    jack_pid=/tmp/levora-test-jackd.pid
    exec 9>/tmp/levora-test-jackd.lock
    flock 9
    trap 'e2e_cleanup; bash "$here/../tests/graph/jack_server.sh" stop "$jack_pid"' EXIT
    export LEVORA_GRAPH=jack:levora-test
    bash "$here/../tests/graph/jack_server.sh" start 48000 "$jack_pid" || fail "no JACK server"
    tone() { LEVORA_TONE_HELD=1 "$LEVORA_JACK_TONE_BIN" levora-test 1:sine:0.5 >/dev/null & }
    period=256
fi

start_levora
ids=$(stereo_windows) || fail "no stereo windows"
first=$(echo "$ids" | sed -n 1p)
delays=()
for _ in $(seq 1 "$runs"); do
    tone
    tone_pid=$!
    kill_at_exit "$tone_pid" # also when the watch fails
    sleep 1 # connected and linked before the window is watched for steadiness
    delay=$("$LEVORA_WATCH_BIN" 3000 "$first" -- kill -USR1 "$tone_pid")
    kill "$tone_pid"
    wait "$tone_pid" 2>/dev/null || true
    echo "run: $delay ms"
    [ "$delay" != none ] && delays+=("$delay")
done
[ "${#delays[@]}" -gt 0 ] || fail "the window never changed"
printf '%s\n' "${delays[@]}" | sort -n | awk -v p="$period" -v b="$backend" \
    '{ d[NR] = $1 } END { printf "%s, period %d frames at 48 kHz (%.1f ms): min %d ms, median %d ms, max %d ms over %d runs\n",
                          b, p, p / 48.0, d[1], d[int((NR + 1) / 2)], d[NR], NR }'
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"

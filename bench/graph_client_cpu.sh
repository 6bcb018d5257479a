#!/usr/bin/env bash
# The audio side's CPU time in a live graph: a tone client plays a sine on all 64 channels of
# the tests' private server (pipewire: null sink, 1024-frame periods; jack: dummy backend,
# 256-frame periods, 48 kHz both) and graph_client_cpu measures a graph card on it for
# SECONDS; then prints the machine's load.
#
#   bash bench/graph_client_cpu.sh pipewire|jack [SECONDS] [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
backend=$1 seconds=${2:-20} build=${3:-$here/../build/release}
signals=$(for ch in $(seq 1 64); do echo -n "$ch:sine:0.5 "; done)

if [ "$backend" = pipewire ]; then
    dir=$(mktemp -d /tmp/levora-pw.XXXXXX)
    trap 'kill $tone 2>/dev/null; bash "$here/../tests/graph/pipewire_server.sh" stop "$dir"; rm -rf "$dir"' EXIT
    export PIPEWIRE_RUNTIME_DIR=$dir
    bash "$here/../tests/graph/pipewire_server.sh" start "$dir" 48000
    # shellcheck disable=SC2086 # the signals are words
    "$build/tests/levora-pipewire-tone" $signals &
    tone=$!
    statement="graph 0 pipewire"
else
    pidfile=/tmp/levora-test-jackd.pid
    exec 9>/tmp/levora-test-jackd.lock
    flock 9
    trap 'kill $tone 2>/dev/null; sleep 0.5; bash "$here/../tests/graph/jack_server.sh" stop "$pidfile"' EXIT
    bash "$here/../tests/graph/jack_server.sh" start 48000 "$pidfile"
    # shellcheck disable=SC2086 # the signals are words
    "$build/tests/levora-jack-tone" levora-test $signals >/dev/null &
    tone=$!
    statement="graph 0 jack levora-test"
fi
"$build/bench/graph_client_cpu" "$seconds" "$statement"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"

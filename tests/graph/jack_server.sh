#!/usr/bin/env bash
# The tests' private JACK server: the dummy backend (no sound card needed) under the one fixed
# name levora-test. jackd keeps at most 8 servers in its /dev/shm registry and a killed one
# leaves its entry behind, so the name never varies: a new start reuses the entry.
#   jack_server.sh start RATE PIDFILE   starts it and waits until clients can connect
#   jack_server.sh stop PIDFILE         ends it, killing it only when it does not stop
# Callers hold the lock file $LEVORA_JACK_LOCK (flock) while the server runs, so that tests
# running at once take turns.
set -euo pipefail

readonly name=levora-test

ready() {
    JACK_NO_START_SERVER=1 jack_lsp -s "$name" >/dev/null 2>&1
}

case "$1" in
start)
    rate=$2 pidfile=$3
    if ready; then
        echo "jack_server.sh: a server '$name' runs already" >&2
        exit 1
    fi
    # Now and then a jackd started right after the previous one ended quits at once without
    # a word; it gets three tries.
    for _ in 1 2 3; do
        jackd --no-realtime -n "$name" -d dummy -r "$rate" -p 256 -C 64 -P 64 \
            >"$pidfile.log" 2>&1 &
        echo $! >"$pidfile"
        for _ in $(seq 1 100); do
            ready && exit 0
            kill -0 "$(cat "$pidfile")" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$(cat "$pidfile")" 2>/dev/null && break
        echo "jack_server.sh: jackd quit at start: $(tail -3 "$pidfile.log")" >&2
        sleep 0.5
    done
    echo "jack_server.sh: jackd did not start: $(tail -5 "$pidfile.log")" >&2
    exit 1
    ;;
stop)
    pidfile=$2
    [ -s "$pidfile" ] || exit 0
    pid=$(cat "$pidfile")
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null || true
        sleep 0.2
        # A killed server leaves its socket; its registry entry and shared memory are
        # reused by the next start under the same name.
        rm -f /dev/shm/jack_"$name"_*
    fi
    # Semaphores of clients that outlived the server, its own when it was killed.
    rm -f /dev/shm/jack_sem.*_"$name"_*
    rm -f "$pidfile"
    ;;
*)
    echo "usage: jack_server.sh start RATE PIDFILE | stop PIDFILE" >&2
    exit 2
    ;;
esac

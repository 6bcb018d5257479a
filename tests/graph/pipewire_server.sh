#!/usr/bin/env bash
# The tests' private PipeWire server in a runtime directory of its own: the daemon with the
# configuration pipewire-test.conf.in (a dummy clock and a 64-channel null sink, no sound
# card) and a session manager (wireplumber on a private D-Bus) that links the streams. A
# client reaches it with PIPEWIRE_RUNTIME_DIR=DIR; the user's server is never touched.
#   pipewire_server.sh start DIR RATE   starts both and waits until the sink is the default
#   pipewire_server.sh stop DIR         ends both, killing them only when they do not stop
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

# Runs a command in the private environment; exec keeps the pid of a started job its own.
private() {
    exec env -i PATH="$PATH" HOME="$1/home" XDG_RUNTIME_DIR="$1" PIPEWIRE_RUNTIME_DIR="$1" \
        XDG_CONFIG_HOME="$1/home/config" XDG_STATE_HOME="$1/home/state" "${@:2}"
}

ready() {
    private "$1" timeout 2 pw-metadata -n default 0 default.audio.sink 2>/dev/null |
        grep -q levora-test-sink
}

stop_pid() {
    local pidfile=$1 pid
    [ -s "$pidfile" ] || return 0
    pid=$(cat "$pidfile")
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    rm -f "$pidfile"
}

case "$1" in
start)
    dir=$2 rate=$3
    mkdir -p "$dir/home/config" "$dir/home/state"
    sed "s/@RATE@/$rate/" "$here/pipewire-test.conf.in" >"$dir/pipewire.conf"
    private "$dir" pipewire -c "$dir/pipewire.conf" >"$dir/pipewire.log" 2>&1 &
    echo $! >"$dir/pipewire.pid"
    for _ in $(seq 1 50); do
        [ -S "$dir/pipewire-0" ] && break
        sleep 0.1
    done
    # setsid: the session bus and wireplumber end together with the group.
    private "$dir" setsid dbus-run-session -- wireplumber >"$dir/wireplumber.log" 2>&1 &
    echo $! >"$dir/wireplumber.pid"
    for _ in $(seq 1 100); do
        ready "$dir" && exit 0
        sleep 0.1
    done
    echo "pipewire_server.sh: no default sink: $(tail -n 3 "$dir/pipewire.log" "$dir/wireplumber.log")" >&2
    exit 1
    ;;
stop)
    dir=$2
    if [ -s "$dir/wireplumber.pid" ]; then
        kill -TERM -- "-$(cat "$dir/wireplumber.pid")" 2>/dev/null || true
    fi
    stop_pid "$dir/wireplumber.pid"
    stop_pid "$dir/pipewire.pid"
    rm -f "$dir/pipewire-0" "$dir/pipewire-0.lock"
    ;;
*)
    echo "usage: pipewire_server.sh start DIR RATE | stop DIR" >&2
    exit 2
    ;;
esac

# Helpers for the end-to-end tests: each test runs on its own virtual X server with a fresh
# settings and runtime directory, and everything it started ends with it.
set -euo pipefail

: "${LEVORA_BIN:?LEVORA_BIN must name the built levora}"

e2e_tmp=$(mktemp -d)
e2e_pids=()
e2e_cleanup() {
    local pid
    for pid in "${e2e_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    # They may still be removing their sockets; one that does not end in 5 s is killed.
    for pid in "${e2e_pids[@]}"; do
        for _ in $(seq 1 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
    done
    # A sanitizer's report from a program the test ended would go with the directory.
    if grep -qs "Sanitizer" "$e2e_tmp/levora.log"; then
        echo "levora.log:" >&2
        cat "$e2e_tmp/levora.log" >&2
    fi
    rm -rf "$e2e_tmp"
}
trap e2e_cleanup EXIT

# Ends process $1 when the test ends, however it ends.
kill_at_exit() { e2e_pids+=("$1"); }

export XDG_CONFIG_HOME="$e2e_tmp/config"
export XDG_RUNTIME_DIR="$e2e_tmp/run"
# The embedded cards stay the demo cards whatever sound server the machine runs, unless a
# test asks for a graph card.
export LEVORA_GRAPH=${LEVORA_GRAPH:-none}
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The settings store a test may fill before it starts the program.
conf="$XDG_CONFIG_HOME/Ostrel/Ostrel Levora.conf"
mkdir -p "$(dirname "$conf")"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The server picks a free display itself and tells which (-displayfd), so tests that run at
# the same time never race for a display number. It does not reset when its last client
# leaves (-noreset): a client that connects during a reset, say a window manager started
# right after a probe, is turned away. E2E_XVFB_ARGS adds server options, E2E_SCREEN sets
# the screen's size.
start_display() {
    local fifo="$e2e_tmp/display"
    # shellcheck disable=SC2086 # the options are words
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1280x1024x24}" -nolisten tcp -noreset \
        ${E2E_XVFB_ARGS:-} 3>"$fifo" >"$e2e_tmp/xvfb.log" 2>&1 &
    kill_at_exit $!
    for _ in $(seq 1 100); do
        [ -s "$fifo" ] && break
        sleep 0.1
    done
    [ -s "$fifo" ] || fail "Xvfb did not start: $(cat "$e2e_tmp/xvfb.log")"
    export DISPLAY=":$(tr -d '\n' <"$fifo")"
}

# With E2E_WM=openbox the display gets a real window manager, as a desktop has: frames,
# placement, focus and interactive resizing. Waits until openbox manages the screen.
start_window_manager() {
    [ "${E2E_WM:-}" = openbox ] || return 0
    openbox --sm-disable >"$e2e_tmp/openbox.log" 2>&1 &
    kill_at_exit $!
    for _ in $(seq 1 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    fail "openbox did not start: $(cat "$e2e_tmp/openbox.log")"
}

# With E2E_PLATFORM=wayland the test runs on weston's headless backend instead of an X
# server: a Wayland compositor with a desktop shell drawing into memory (with its software
# renderer, so that screenshots show what a person would see), never blanking. Its debug
# protocol lets weston-screenshooter and weston-debug read the screen and the windows.
# Qt programs take the wayland platform; no X server is reachable. E2E_SCREEN sets the size
# in logical pixels, E2E_WAYLAND_SCALE the output's scale factor (the pixels per logical one).
start_wayland_display() {
    local size=${E2E_SCREEN:-1280x1024x24}
    size=${size%x*}
    weston --backend=headless-backend.so --use-pixman --width="${size%x*}" --height="${size#*x}" \
        --scale="${E2E_WAYLAND_SCALE:-1}" --idle-time=0 --no-config --debug --socket=levora-e2e \
        >"$e2e_tmp/weston.log" 2>&1 &
    kill_at_exit $!
    for _ in $(seq 1 100); do
        if [ -S "$XDG_RUNTIME_DIR/levora-e2e" ]; then
            export WAYLAND_DISPLAY=levora-e2e QT_QPA_PLATFORM=wayland
            unset DISPLAY
            return 0
        fi
        sleep 0.1
    done
    fail "weston did not start: $(cat "$e2e_tmp/weston.log")"
}

if [ "${E2E_PLATFORM:-}" = wayland ]; then
    start_wayland_display
else
    start_display
    start_window_manager
fi

# Starts levora with the arguments given, its errors going to $e2e_tmp/levora.log, and sets
# pid; it ends with the test.
start_levora() {
    "$LEVORA_BIN" "$@" 2>>"$e2e_tmp/levora.log" &
    pid=$!
    kill_at_exit $pid
}

# Waits until a visible window whose name matches $1 exists and prints its id.
wait_for_window() {
    local id
    for _ in $(seq 1 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Waits for child process $1 to end, up to 10 s, and sets exit_code.
wait_for_exit() {
    exit_code=
    for _ in $(seq 1 100); do
        if ! kill -0 "$1" 2>/dev/null; then
            exit_code=0
            wait "$1" || exit_code=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Starts levora-driver in $LEVORA_DRIVER_DIR on the cards of the configuration file $1 and
# waits until the socket $2 of one of its cards is there.
start_driver() {
    : "${LEVORA_DRIVER_BIN:?LEVORA_DRIVER_BIN must name the built levora-driver}"
    "$LEVORA_DRIVER_BIN" --config "$1" 2>"$e2e_tmp/driver.log" &
    kill_at_exit $!
    for _ in $(seq 1 50); do
        [ -S "$LEVORA_DRIVER_DIR/$2" ] && return 0
        sleep 0.1
    done
    fail "the driver did not start: $(cat "$e2e_tmp/driver.log")"
}

# Waits up to 10 s until the screen shows more than one colour (the first paint of a window
# that was just mapped may still be on its way) and saves it as $1; fails the wait otherwise.
wait_for_painted_screen() {
    for _ in $(seq 1 100); do
        import -window root "$1"
        [ "$(convert "$1" -format %k info:)" -gt 1 ] && return 0
        sleep 0.1
    done
    return 1
}

# Saves window $1 as $2 until the picture differs from the image $3, for up to 5 s: under
# load the redraw after a click or key may take a while.
shoot_until_changed() {
    for _ in $(seq 1 50); do
        import -window "$1" "$2"
        [ "$(compare -metric AE "$2" "$3" null: 2>&1 || true)" != 0 ] && return 0
        sleep 0.1
    done
    return 1
}

# Waits up to 5 s until no visible window whose name matches $1 is left.
wait_for_no_window() {
    for _ in $(seq 1 50); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}

# Prints "left top width height" of the outer rectangle of window $1: the window manager's
# frame around it (its ancestor just below the root) with the frame's border, or the window
# itself where nothing frames it.
outer_geometry() {
    local id=$1 parent root
    root=$(xwininfo -root | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p')
    while parent=$(xwininfo -tree -id "$id" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p') &&
        [ -n "$parent" ] && [ "$parent" != "$root" ]; do
        id=$parent
    done
    xwininfo -frame -id "$id" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /Width:/ {w = $NF} /Height:/ {h = $NF} /Border width:/ {b = $NF}
        END {print x - b, y - b, w + 2 * b, h + 2 * b}'
}

# How long a level change may take to reach the screen: one poll (20 ms) and one frame, with
# room for a busy machine; the sanitizers draw several times slower.
change_limit_ms=100
[ -n "${E2E_SANITIZED:-}" ] && change_limit_ms=400

# Starts levora-driver in $LEVORA_DRIVER_DIR (set here) with a Kestrel card in slot 3, silent
# but for a 1 kHz tone at $1 dBFS on input channels 1 and 2.
start_tone_driver() {
    export LEVORA_DRIVER_DIR="$e2e_tmp/driver"
    cat >"$e2e_tmp/cards.conf" <<CARDS
card 3 kind 0 speed single
signal 3 all all silence
signal 3 input 1-2 sine 1000 $1
CARDS
    start_driver "$e2e_tmp/cards.conf" kestrelOut0
}

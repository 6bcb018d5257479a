# Helpers for the end-to-end tests: each test runs inside its own virtual X server with a
# fresh settings directory.
set -euo pipefail

: "${LEVORA_BIN:?LEVORA_BIN must name the built levora}"

e2e_tmp=$(mktemp -d)
trap 'rm -rf "$e2e_tmp"' EXIT
export XDG_CONFIG_HOME="$e2e_tmp/config"
export XDG_RUNTIME_DIR="$e2e_tmp/run"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

fail() {
    echo "FAIL: $*" >&2
    exit 1
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

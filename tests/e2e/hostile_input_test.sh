#!/usr/bin/env bash
# Hostile setup files, workspace files and settings stores, each opened by the real program
# with a time limit: every run must show a window or end by itself, then end cleanly on
# SIGTERM, with no crash and no sanitizer report. Prints the runs, crashes and hangs.
source "$(dirname "$0")/lib.sh"

cases="$e2e_tmp/cases"
mkdir -p "$cases"

# A stereo setup block with the font line $1.
block() {
    printf 'Stereo Level Meter\nGeneral=00837,00,00120,00520,00080,00680,00200,00400,00300,00400,1,1\n'
    printf '%s\n' "$1"
    printf 'Level Meter Top Level=0.000000\nLevel Meter Bottom Level=-60.000000\n\n\n'
}

# The 60 bytes of a stored font of height $1 (an int32), escaped as the settings store keeps
# them: four bytes of height, 24 zero bytes, the face name, zeros to the end.
stored_font() {
    local h=$(($1 & 0xffffffff)) out='' i
    for i in 0 8 16 24; do
        out+=$(printf '\\x%x' $(((h >> i) & 0xff)))
    done
    for i in $(seq 1 24); do out+='\0'; done
    out+='ARIAL'
    for i in $(seq 1 27); do out+='\0'; done
    echo "@ByteArray($out)"
}

# Setup and workspace files.
for height in -1000 -5000 50000 -2147483648 2147483647; do
    block "Font=$height,0,0,0,0,ARIAL" >"$cases/font$height.lvr"
done
block "Font=-13,0,0,0,0,$(printf 'A%.0s' $(seq 1 5000))" >"$cases/long_face.lvr"
awk 'BEGIN { srand(7); for (i = 0; i < 8192; i++) printf "%c", int(rand() * 256) }' \
    >"$cases/garbage.lvr"
: >"$cases/empty.lvr"
block "Font=-13,0,0,0,0,ARIAL" >"$cases/wrong_extension.txt"
mkfifo "$cases/fifo.lvr"
ln -s /dev/urandom "$cases/urandom.lvr"
ln -s /dev/zero "$cases/zero.lvw"
mkdir "$cases/directory.lvr"
{ echo "not a block"; block "Font=-13,0,0,0,0,ARIAL"; } >"$cases/bad_first.lvw"
for height in 50000 -2147483648 -5000; do block "Font=$height,0,0,0,0,ARIAL"; done \
    >"$cases/fonts.lvw"
for _ in $(seq 1 60); do block "Font=-13,0,0,0,0,ARIAL"; done >"$cases/sixty.lvw"

# Settings stores: huge window counts with one real section, huge stored fonts.
store_count() {
    printf '[Workspace]\nNumOfWins=%s\nFrame0\\SWType=0\nFrame5\\SWType=1\n' "$1"
}
store_font() {
    printf '[Workspace]\nNumOfWins=1\nFrame0\\SWType=1\nFrame0\\Font=%s\n' "$(stored_font "$1")"
}

runs=0
crashes=0
hangs=0
slowest_ms=0
slowest=''
problems=()

# Runs levora on a fresh settings store ($2: its contents, may be empty) and runtime
# directory with the arguments after $2; $1 names the case.
run_case() {
    local name=$1 store=$2
    shift 2
    rm -rf "$XDG_CONFIG_HOME/Ostrel" "$XDG_RUNTIME_DIR"/*
    mkdir -p "$(dirname "$conf")"
    [ -z "$store" ] || printf '%s\n' "$store" >"$conf"
    [ -z "${prepare:-}" ] || eval "$prepare"
    : >"$e2e_tmp/levora.log"
    runs=$((runs + 1))
    local started=$(date +%s%N) shown=''
    start_levora "$@"
    # A window (the meter or a message box) or an end, within the time limit.
    for _ in $(seq 1 100); do
        if xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
            shown=1
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    local ms=$((($(date +%s%N) - started) / 1000000))
    if [ "$ms" -gt "$slowest_ms" ]; then
        slowest_ms=$ms
        slowest=$name
    fi
    if [ -z "$shown" ] && kill -0 "$pid" 2>/dev/null; then
        hangs=$((hangs + 1))
        problems+=("$name: no window and no end within 10 s")
    fi
    kill -TERM "$pid" 2>/dev/null || true
    if ! wait_for_exit "$pid"; then
        hangs=$((hangs + 1))
        problems+=("$name: did not end within 10 s of SIGTERM")
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        return
    fi
    if [ "$exit_code" -ge 128 ] || grep -qE 'Sanitizer|runtime error' "$e2e_tmp/levora.log"; then
        crashes=$((crashes + 1))
        problems+=("$name: ended with $exit_code: $(grep -m 3 -E 'Sanitizer|runtime error|SUMMARY' "$e2e_tmp/levora.log" | tr '\n' ' ')")
    fi
}

for file in "$cases"/*; do
    run_case "$(basename "$file")" "" "$file"
done
run_case "missing.lvr" "" "$cases/missing.lvr"
for count in 4294967295 -1 2147483647 99999999999; do
    run_case "NumOfWins=$count" "$(store_count "$count")"
done
for height in 50000 -5000 -2147483648; do
    run_case "stored Font $height" "$(store_font "$height")"
done
prepare='printf "\1garbage\nnot a pid\n" >"$XDG_RUNTIME_DIR/levora-$(id -u).lock"'
run_case "garbage lock file" ""
prepare='mkdir "$XDG_RUNTIME_DIR/levora-$(id -u)"'
run_case "directory at the socket path" ""
prepare=''

echo "$runs runs, $crashes crashes, $hangs hangs; slowest first window or end: $slowest_ms ms ($slowest)"
if [ ${#problems[@]} -gt 0 ]; then
    printf '  %s\n' "${problems[@]}" >&2
    fail "hostile input broke the program"
fi

#!/usr/bin/env bash
# The command line where there is no display: --help and --version answer on stdout and end
# with status 0; an unknown option or a second file is refused on stderr, and no window opens.
source "$(dirname "$0")/lib.sh"
[ -n "${E2E_TRACE:-}" ] && set -x

# Runs levora with the arguments given and no display of any kind; sets status, out and err.
run_without_display() {
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$LEVORA_BIN" "$@" \
        >"$e2e_tmp/out" 2>"$e2e_tmp/err" || status=$?
    out=$(cat "$e2e_tmp/out")
    err=$(cat "$e2e_tmp/err")
}

for option in --help -h; do
    run_without_display "$option"
    [ "$status" -eq 0 ] || fail "$option ended with $status: $err"
    grep -q '^Usage: levora \[options\] \[file\]$' <<<"$out" || fail "$option printed: $out"
    [ -z "$err" ] || fail "$option wrote to stderr: $err"
done

for option in --version -v; do
    run_without_display "$option"
    [ "$status" -eq 0 ] || fail "$option ended with $status: $err"
    [ "$out" = "Ostrel Levora 2.0" ] || fail "$option printed: $out"
done

# Refusals, on the display the test started: nothing may open.
refuse() {
    status=0
    "$LEVORA_BIN" "$@" >"$e2e_tmp/out" 2>"$e2e_tmp/err" || status=$?
    [ "$status" -ne 0 ] || fail "levora $* was accepted"
    grep -q "$expected" "$e2e_tmp/err" || fail "levora $* said: $(cat "$e2e_tmp/err")"
    [ ! -s "$e2e_tmp/out" ] || fail "levora $* wrote to stdout: $(cat "$e2e_tmp/out")"
}
expected="Unknown option 'frobnicate'" refuse --frobnicate
expected="At most one file" refuse a.lvr b.lvr
if xdotool search --onlyvisible --name "Ostrel Levora" >/dev/null 2>&1; then
    fail "a refused command line opened a window"
fi

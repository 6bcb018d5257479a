#!/usr/bin/env bash
# The program opens its window on a bare X server and ends cleanly when told to.
source "$(dirname "$0")/lib.sh"

start_levora
window=$(wait_for_window "Levora") || fail "no Levora window appeared"

wait_for_painted_screen "$e2e_tmp/screen.png" || fail "the screen stayed blank"

kill -TERM "$pid"
wait_for_exit "$pid" || fail "levora did not end after SIGTERM"
[ "$exit_code" -eq 0 ] || fail "levora ended with $exit_code: $(cat "$e2e_tmp/levora.log")"
echo "window $window shown and closed"

#!/usr/bin/env bash
# A setup file opened from a file manager while Levora runs: the desktop entry's Exec line,
# run as a file manager runs it while its own window is the active one, hands the file to the
# running program, which shows it in a new window beside the one it had; the launch itself
# ends at once.
source "$(dirname "$0")/lib.sh"
: "${LEVORA_DESKTOP_ENTRY:?LEVORA_DESKTOP_ENTRY must name the built desktop entry}"

cat >"$conf" <<CONF
[Workspace]
NumOfWins=1
Frame0\SWType=0
Frame0\WinPos.left=40
Frame0\WinPos.top=40
Frame0\WinPos.right=340
Frame0\WinPos.bottom=640
CONF
# In a folder whose name has a blank, as files in a home directory often do.
mkdir -p "$e2e_tmp/My Meters"
file="$e2e_tmp/My Meters/studio.lvr"
cat >"$file" <<SETUP
Global Level Meter
General=00000,00,00400,01000,00100,00700,00000,00000,00000,00000,1,1
Font=-13,0,0,0,0,ARIAL


SETUP

start_levora
wait_for_window "Stereo Level Meter" >/dev/null || fail "no first window: $(cat "$e2e_tmp/levora.log")"
# The file manager's window, where the double click happens, is the active one.
xmessage -geometry +900+100 -title "File Manager" "studio.lvr" &
kill_at_exit $!
manager=$(wait_for_window "File Manager") || fail "no stand-in file manager window"
xdotool windowfocus --sync "$manager"
# Qt counts a window as left 400 ms after it lost the focus (a focus that comes straight back
# keeps it active); a person's double click comes later than that.
sleep 1

# The Exec line with %F replaced by the file and the program found on PATH, as a file
# manager runs it.
exec_line=$(sed -n 's/^Exec=//p' "$LEVORA_DESKTOP_ENTRY")
read -r -a words <<<"$exec_line"
command=()
for word in "${words[@]}"; do
    if [ "$word" = %F ]; then command+=("$file"); else command+=("$word"); fi
done
[ "${command[0]}" = levora ] || fail "the entry runs ${command[0]}, not levora"
launch_status=0
PATH="$(dirname "$LEVORA_BIN"):$PATH" timeout 10 "${command[@]}" 2>>"$e2e_tmp/levora.log" ||
    launch_status=$?
[ "$launch_status" -eq 0 ] || fail "the launch ended with $launch_status: $(cat "$e2e_tmp/levora.log")"

wait_for_window "Global Level Meter - .* - studio\.lvr" >/dev/null ||
    fail "the running program does not show the file: $(cat "$e2e_tmp/levora.log")"
kill -0 "$pid" 2>/dev/null || fail "the first program ended"
wait_for_window "Stereo Level Meter" >/dev/null || fail "the first window went away"

#!/usr/bin/env bash
# Takes the screenshots that the AppStream metadata shows, of Levora on its demo cards under
# openbox on a virtual 16:9 screen: resources/screenshots/desktop_meters.png (a stereo, a
# multichannel and a global meter) and desktop_setup.png (a meter with its setup window).
# LEVORA_BIN names the program (default: the release build); OUT the folder to write to.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export LEVORA_BIN=${LEVORA_BIN:-$root/build/release/app/levora}
out=${OUT:-$root/resources/screenshots}
export E2E_WM=openbox E2E_SCREEN=1600x900x24
source "$root/tests/e2e/lib.sh"
xsetroot -solid '#44505c'

window() { # slot function left top right bottom
    cat <<CONF
Frame$1\SWType=$2
Frame$1\CardNumber=3
Frame$1\WinPos.left=$3
Frame$1\WinPos.top=$4
Frame$1\WinPos.right=$5
Frame$1\WinPos.bottom=$6
CONF
}
# The meters move; a shot is taken once every window has had a second of levels. $2 crops.
shoot() {
    sleep 1
    import -window root ${2:+-crop "$2"} "$1"
    echo "wrote $1"
}

{
    echo "[Workspace]"
    echo "NumOfWins=3"
    window 0 0 12 60 272 840
    window 1 1 292 60 652 840
    window 2 2 672 60 1588 840
} >"$conf"
start_levora
for name in "Stereo Level Meter" "Multichannel Level Meter" "Global Level Meter"; do
    wait_for_window "$name" >/dev/null || fail "no $name: $(cat "$e2e_tmp/levora.log")"
done
shoot "$out/desktop_meters.png"
kill -TERM "$pid"
wait_for_exit "$pid" || fail "levora did not end"

{
    echo "[Workspace]"
    echo "NumOfWins=1"
    window 0 1 40 40 400 510
    echo 'Frame0\SetWinPos.left=470'
    echo 'Frame0\SetWinPos.top=80'
    echo 'Frame0\SetWinPos.right=724'
    echo 'Frame0\SetWinPos.bottom=178'
} >"$conf"
start_levora
meter=$(wait_for_window "Multichannel Level Meter") || fail "no meter: $(cat "$e2e_tmp/levora.log")"
xdotool windowfocus --sync "$meter"
xdotool key F2
wait_for_window "^Level Meter Setup" >/dev/null || fail "F2 opened no setup window"
shoot "$out/desktop_setup.png" 800x540+0+0

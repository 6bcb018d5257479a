#!/usr/bin/env bash
# Levora on a Wayland desktop: weston's headless backend with its desktop shell, Qt's wayland
# platform, and no X server. Wayland gives a test no input, so the program is driven by its
# command line, the driver's control socket and signals, and watched through screenshots and
# weston's list of windows:
# - a stored workspace's windows (Always on top ticked) appear with their stored size, and the
#   rectangles stored at Exit are those loaded: a round trip changes nothing (the compositor
#   places windows and never tells where, so a position stays as it was stored);
# - setup files open from the command line, also handed over to the running instance, and each
#   meter kind follows the levels up and down in an idle session and keeps a steady level on
#   screen; an invalid file shows only its message;
# - SIGTERM ends the program with status 0, even while a message box is open, and Exit stores
#   the windows that were open; Qt says nothing on stderr.
# Regression: on Wayland each start/Exit cycle made every restored window 33 px taller and
# stored it at -3,-30. On a loaded machine, a card probe past its deadline shrank a window to
# an empty meter (moving it, and metering the wrong channels), and a lock made during another
# lock's resize centred the window on a half-applied width: a round trip moved windows by up
# to 328 px and a meter stopped following the tone, in 4 runs of 11.
E2E_PLATFORM=wayland
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/weston_lib.sh"

export LEVORA_DRIVER_DIR="$e2e_tmp/driver"
cat >"$e2e_tmp/cards.conf" <<CARDS
card 3 kind 0 speed single
signal 3 all all silence
signal 3 input 1-2 sine 1000 -40
CARDS
start_driver "$e2e_tmp/cards.conf" kestrelOut0
signal() {
    "$LEVORA_DRIVER_BIN" ctl --dir "$LEVORA_DRIVER_DIR" signal 3 input 1-2 "$@" >/dev/null
}

stop_levora() {
    kill -TERM "$pid"
    wait_for_exit "$pid" || fail "levora did not end after SIGTERM"
    [ "$exit_code" -eq 0 ] || fail "levora ended with $exit_code"
}

# The window rectangles of the stored workspace, one a line: "left top right bottom".
stored_rectangles() {
    local n side
    for n in 0 1 2; do
        for side in left top right bottom; do
            sed -n "s/^Frame$n\\\\WinPos\\.$side=//p" "$conf"
        done | paste -sd ' '
    done
}

# --- A stored workspace on the desktop, and back.
cat >"$conf" <<CONF
[Settings]
AllwaysOnTop=1
[Workspace]
NumOfWins=3
Frame0\SWType=0
Frame0\CardNumber=3
Frame0\ChanNumber=0
Frame0\WinPos.left=40
Frame0\WinPos.top=60
Frame0\WinPos.right=320
Frame0\WinPos.bottom=560
Frame1\SWType=1
Frame1\CardNumber=3
Frame1\GroupNumber=0
Frame1\WinPos.left=400
Frame1\WinPos.top=90
Frame1\WinPos.right=800
Frame1\WinPos.bottom=620
Frame2\SWType=2
Frame2\CardNumber=3
Frame2\WinPos.left=100
Frame2\WinPos.top=500
Frame2\WinPos.right=1100
Frame2\WinPos.bottom=950
CONF
loaded=$(stored_rectangles)
heights=(500 530 450)
for cycle in 1 2; do
    start_levora
    n=0
    for title in "Stereo Level Meter" "Multichannel Level Meter" "Global Level Meter"; do
        read -r _ top _ bottom _ < <(weston_wait_for_window "Ostrel Levora - $title") ||
            fail "no window '$title' on the screen: $(cat "$e2e_tmp/levora.log")"
        [ $((bottom - top)) -eq "${heights[n]}" ] ||
            fail "start $cycle: the $title window is $((bottom - top)) px high, not ${heights[n]}"
        n=$((n + 1))
    done
    stop_levora
    stored=$(stored_rectangles)
    if [ "$cycle" = 1 ]; then
        # The meters fit the width to their layout, centred where the window stood.
        while read -r l0 t0 r0 b0 l1 t1 r1 b1; do
            [ "$t1 $b1" = "$t0 $b0" ] && [ $(((l1 + r1) / 2 - (l0 + r0) / 2)) -le 1 ] &&
                [ $(((l0 + r0) / 2 - (l1 + r1) / 2)) -le 1 ] ||
                fail "stored $l1 $t1 $r1 $b1 after loading $l0 $t0 $r0 $b0"
        done < <(paste -d ' ' <(echo "$loaded") <(echo "$stored"))
        first=$stored
    else
        [ "$stored" = "$first" ] || fail "a second round trip stored $stored, not $first"
    fi
done
echo "the stored windows appeared with their size and came back unchanged"

# --- Setup files and live meters.
setup_file() { # name, title line, the General line after the card and the group
    printf '%s\nGeneral=00768,00,%s\nFont=-13,0,0,0,0,ARIAL\n\n' "$2" "$3" >"$e2e_tmp/$1"
}
setup_file stereo.lvr "Stereo Level Meter" "00100,00400,00100,00700,00200,00400,00300,00400,1,1"
setup_file multi.lvr "Multichannel Level Meter" "00300,00700,00150,00650,00200,00400,00300,00400,1,1"
setup_file global.lvr "Global Level Meter" "00050,01150,00200,00700,00200,00400,00300,00400,1,1"

shot="$e2e_tmp/screen.png"
# Prints the bars' pixels in the rectangle $3..$6 once there are more ($1 = above) or fewer
# ($1 = below) than $2, taking screenshots for up to 10 s.
lit_when() {
    local side=$1 limit=$2 count
    shift 2
    for _ in $(seq 1 20); do
        weston_screenshot "$shot"
        count=$(lit_pixels "$shot" "$@")
        if { [ "$side" = above ] && [ "$count" -gt "$limit" ]; } ||
            { [ "$side" = below ] && [ "$count" -lt "$limit" ]; }; then
            echo "$count"
            return 0
        fi
    done
    echo "$count"
    return 1
}
# Prints the bars' pixels in the rectangle $1..$4 once two screenshots in a row agree.
steady_lit() {
    local before=-1 count
    for _ in $(seq 1 20); do
        weston_screenshot "$shot"
        count=$(lit_pixels "$shot" "$@")
        if [ "$count" = "$before" ]; then
            echo "$count"
            return 0
        fi
        before=$count
    done
    return 1
}
# The window whose title matches $1 is the topmost: with nothing but the signal changing,
# its bars grow with a louder tone, stay so while it is steady, and fall with a softer one.
follow_levels() {
    local rect quiet loud kept soft started
    read -r -a rect < <(weston_wait_for_window "$1") || fail "no window '$1'"
    rect=("${rect[@]:0:4}")
    [[ "$(weston_windows | head -n 1)" == "${rect[*]} "* ]] || fail "'$1' is not on top"
    quiet=$(steady_lit "${rect[@]}") || fail "'$1' never shows a steady picture"
    [ "$quiet" -gt 0 ] || fail "'$1' shows no bars"
    signal sine 1000 -6
    started=$(date +%s%N)
    loud=$(lit_when above $((2 * quiet)) "${rect[@]}") ||
        fail "'$1': the bars did not follow a louder tone ($quiet, then $loud pixels)"
    echo "'$1': louder bars on a screenshot $((($(date +%s%N) - started) / 1000000)) ms after the change"
    kept=$(steady_lit "${rect[@]}") || fail "'$1' never settled on the louder tone"
    [ "$kept" -gt $((2 * quiet)) ] || fail "'$1' lost the louder tone: $kept pixels, $loud before"
    signal sine 1000 -40
    soft=$(lit_when below $((kept / 2)) "${rect[@]}") ||
        fail "'$1': the bars did not fall with a softer tone ($kept, then $soft pixels)"
}

# No workspace this time; Always on top stays ticked.
printf '[Settings]\nAllwaysOnTop=1\n' >"$conf"
start_levora "$e2e_tmp/stereo.lvr"
follow_levels "Stereo Level Meter.* - stereo\.lvr"
# Later launches hand their file to the running instance, which opens it in a new window.
for name in multi global; do
    "$LEVORA_BIN" "$e2e_tmp/$name.lvr" 2>>"$e2e_tmp/levora.log" ||
        fail "the launch with $name.lvr ended with $?"
    follow_levels " - $name\.lvr\$"
done
read -r _ top _ bottom _ < <(weston_wait_for_window "stereo\.lvr")
[ $((bottom - top)) -eq 600 ] || fail "the stereo file's window is $((bottom - top)) px high, not 600"

# An invalid file shows its message and nothing else.
echo "not a setup file" >"$e2e_tmp/invalid.lvr"
"$LEVORA_BIN" "$e2e_tmp/invalid.lvr" 2>>"$e2e_tmp/levora.log" || fail "the launch with invalid.lvr ended with $?"
weston_wait_for_window "Ostrel Levora\$" >/dev/null || fail "no message about the invalid file"
windows=$(weston_windows | grep -c "Level Meter") || true
[ "$windows" -eq 3 ] || fail "$windows meter windows after an invalid file, not 3"
weston_screenshot "$e2e_tmp/message.png"

stop_levora
[ "$(sed -n 's/^NumOfWins=//p' "$conf")" = 3 ] || fail "Exit did not store the three windows"
for type in 0 1 2; do
    grep -q "^Frame.\\\\SWType=$type$" "$conf" || fail "no window of type $type stored"
done
if grep -v '^levora: ' "$e2e_tmp/levora.log"; then
    fail "levora wrote the lines above to stderr"
fi
echo "setup files opened, the meters followed the levels, SIGTERM ended the program cleanly"

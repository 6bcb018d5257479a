# Shared steps of the graph card tests (sourced after lib.sh): two stereo windows on slot 0's
# playback channels 1+2 and 3+4 of a graph card whose server plays a tone into channel 1
# alone, and the checks of what they show.
artifacts="${E2E_ARTIFACTS:-$PWD/e2e-artifacts}/$(basename "$0" .sh)"
mkdir -p "$artifacts"

cat >"$conf" <<CONF
[Workspace]
NumOfWins=2
Frame0\SWType=0
Frame0\CardNumber=0
Frame0\BusType=1
Frame0\ChanNumber=0
Frame0\WinPos.left=20
Frame0\WinPos.top=20
Frame0\WinPos.right=320
Frame0\WinPos.bottom=620
Frame1\SWType=0
Frame1\CardNumber=0
Frame1\BusType=1
Frame1\ChanNumber=1
Frame1\WinPos.left=400
Frame1\WinPos.top=20
Frame1\WinPos.right=700
Frame1\WinPos.bottom=620
CONF

GREEN=0,220,0    # NormalColor: the levels
GREY=112,112,112 # the bars of a meter that no card feeds

# colour_in IMAGE R,G,B [SIDE]: how many pixels of that colour the image has, or its half
# on SIDE (West or East).
colour_in() {
    convert "$1" ${3:+-gravity "$3" -crop 50%x100%+0+0 +repage} -format %c histogram:info:- |
        awk -v want="($2)" '{ gsub(/ /, ""); split($0, f, ":"); if (f[2] ~ "^\\" want) n += f[1] }
                            END { print n + 0 }'
}
# The tone on channel 1: the left half of the window (its RMS and peak bars) is lit, the
# right half (channel 2) is not.
left_only() { [ "$(colour_in "$1" $GREEN West)" -gt 2000 ] && [ "$(colour_in "$1" $GREEN East)" -lt 50 ]; }
dark() { [ "$(colour_in "$1" $GREEN)" -lt 50 ] && [ "$(colour_in "$1" $GREY)" -lt 1000 ]; }
grey_bars() { [ "$(colour_in "$1" $GREEN)" -lt 50 ] && [ "$(colour_in "$1" $GREY)" -gt 2000 ]; }

# wait_until WINDOW NAME TEST: shoots the window into $artifacts/NAME.png until the command
# TEST (given the image) succeeds, for up to 10 s.
wait_until() {
    local window=$1 shot="$artifacts/$2.png"
    for _ in $(seq 1 100); do
        import -window "$window" "$shot" 2>/dev/null && "$3" "$shot" && return 0
        sleep 0.1
    done
    return 1
}

# Prints the ids of the two stereo windows, the one on channels 1+2 (further left) first.
stereo_windows() {
    local ids
    for _ in $(seq 1 100); do
        ids=$(xdotool search --onlyvisible --name "Ostrel Levora - Stereo Level Meter" 2>/dev/null || true)
        [ "$(echo "$ids" | grep -c .)" -ge 2 ] && break
        sleep 0.1
    done
    [ "$(echo "$ids" | grep -c .)" -ge 2 ] || return 1
    for id in $ids; do
        echo "$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $NF}') $id"
    done | sort -n | awk '{print $2}'
}

# show_tone PREFIX: the windows of a just started levora show the tone on the left bar of
# channels 1+2 alone and leave channels 3+4 dark (shots PREFIX_tone, PREFIX_silent).
show_tone() {
    local ids
    ids=$(stereo_windows) || fail "$1: no two stereo windows: $(cat "$e2e_tmp/levora.log")"
    first=$(echo "$ids" | sed -n 1p) second=$(echo "$ids" | sed -n 2p)
    wait_until "$first" "$1_tone" left_only || fail "$1: channels 1+2 do not show the tone on channel 1 alone"
    wait_until "$second" "$1_silent" dark || fail "$1: channels 3+4 are not dark"
}

# follow_server STOP START: levora (with $LEVORA_GRAPH) meters the tone; the server stopped
# by the command STOP, the windows show that no card answers; started again by START, they
# meter again by themselves. Ends levora.
follow_server() {
    start_levora
    show_tone program
    "$1"
    wait_until "$first" server_stopped grey_bars || fail "the window does not show that no card answers"
    "$2"
    wait_until "$first" server_back left_only || fail "the window does not meter again after the server returned"
    wait_until "$second" server_back_silent dark || fail "channels 3+4 are not dark after the restart"
    kill -TERM "$pid"
    wait_for_exit "$pid" || fail "levora did not end after SIGTERM"
}

# driver_list PATTERN...: `levora-driver ctl list` once it matches every extended regular
# expression PATTERN (for up to 5 s: the card connects in the background), else as it is.
driver_list() {
    local list pattern matched
    for _ in $(seq 1 50); do
        list=$("$LEVORA_DRIVER_BIN" ctl --dir "$LEVORA_DRIVER_DIR" list)
        matched=1
        for pattern in "$@"; do
            echo "$list" | grep -Eq "$pattern" || matched=
        done
        [ -n "$matched" ] && break
        sleep 0.1
    done
    echo "$list"
}

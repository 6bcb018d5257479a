#!/usr/bin/env bash
# What the meters send to the screen is what a full repaint shows, also where another window
# covered them: a global window A follows a tone on its first two channels while window B is
# elsewhere, then while B covers those channels, then while B covers the rest. Each time, once
# B has left and the picture stands still, A is shot; then B covers all of A and leaves again,
# so that A is repainted whole from its image, and A is shot again. The two shots must be the
# same, at scale factor 1 and 2, but for the top row of a bar: the RMS of the simulated tone
# jitters a little, and a bar whose level lies on a row's edge takes and leaves that row now
# and then, for good. Differing shots are kept in $E2E_ARTIFACTS (default:
# e2e-artifacts/meter_liveness_covered).
# Regression guard for sending only the visible part of a change: a change under B is left
# out, and must come back when B leaves; a change beside B must still be shown.
E2E_SCREEN=2560x2400x24
source "$(dirname "$0")/lib.sh"
: "${LEVORA_WATCH_BIN:?LEVORA_WATCH_BIN must name the built levora-window-watch}"

artifacts="${E2E_ARTIFACTS:-$PWD/e2e-artifacts}/meter_liveness_covered"
start_tone_driver -40

cat >"$conf" <<CONF
[Workspace]
NumOfWins=2
Frame0\SWType=2
Frame0\CardNumber=3
Frame0\WinPos.left=10
Frame0\WinPos.top=10
Frame0\WinPos.right=1000
Frame0\WinPos.bottom=500
Frame1\SWType=2
Frame1\CardNumber=3
Frame1\WinPos.left=10
Frame1\WinPos.top=650
Frame1\WinPos.right=1000
Frame1\WinPos.bottom=1140
CONF

signal() {
    "$LEVORA_DRIVER_BIN" ctl --dir "$LEVORA_DRIVER_DIR" signal 3 input 1-2 "$@" >/dev/null
}

# Waits until window A's picture stands still and saves it as $1.
shoot_still() {
    "$LEVORA_WATCH_BIN" 0 "$a" -- true >/dev/null || fail "window A never stood still"
    import -window "$a" "$1"
}

# Moves B (its client area's top left to $1 $2) and raises it.
move_b() {
    xdotool windowmove "$b" "$1" "$2"
    xdotool windowraise "$b"
    sleep 0.3
}

# Lets B cover A whole and leave again: A repaints from its image. Twice, a little apart, as
# B's client area is placed where A's frame begins.
repaint_a() {
    read -r ax ay _ _ < <(outer_geometry "$a")
    move_b "$ax" "$ay"
    move_b "$ax" $((ay + 100))
    move_b "$bx" "$by"
}

same() {
    local diff
    diff=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
    [ "$diff" = 0 ] && return 0
    # The rectangle around the differing pixels: "WIDTHxHEIGHT".
    local box
    box=$(convert "$1" "$2" -compose difference -composite -threshold 0 -format %@ info:)
    box=${box%%+*}
    [ "${box#*x}" -le "$scale" ] && return 0
    mkdir -p "$artifacts"
    cp "$1" "$2" "$artifacts/"
    compare "$1" "$2" "$artifacts/difference.png" 2>/dev/null || true
    fail "scale $scale, $3: $diff pixels differ from the repainted window"
}

for scale in 1 2; do
    QT_SCALE_FACTOR=$scale start_levora
    ids=()
    while read -r id; do ids+=("$id"); done < <(
        for _ in $(seq 1 100); do
            found=$(xdotool search --onlyvisible --name "Ostrel Levora - Global Level Meter" 2>/dev/null || true)
            [ "$(echo "$found" | grep -c .)" -ge 2 ] && { echo "$found"; break; }
            sleep 0.1
        done)
    [ "${#ids[@]}" -ge 2 ] || fail "two global windows did not come up: $(cat "$e2e_tmp/levora.log")"
    # A is the one nearer the top.
    read -r _ y0 _ _ < <(outer_geometry "${ids[0]}")
    read -r _ y1 _ _ < <(outer_geometry "${ids[1]}")
    if [ "$y0" -lt "$y1" ]; then a=${ids[0]} b=${ids[1]}; else a=${ids[1]} b=${ids[0]}; fi
    # Where B's client area starts out, and returns to.
    read -r bx by < <(xwininfo -id "$b" | awk '/Absolute upper-left X/ {x = $NF}
        /Absolute upper-left Y/ {y = $NF} END {print x, y}')

    # Only ever louder: a falling hold marker would wait seconds before it moves, and a
    # picture that stands still meanwhile is not the last one.
    signal sine 1000 -30
    shoot_still "$e2e_tmp/open.png"
    repaint_a
    shoot_still "$e2e_tmp/open-repainted.png"
    same "$e2e_tmp/open.png" "$e2e_tmp/open-repainted.png" "window in the open"

    read -r ax ay aw _ < <(outer_geometry "$a")
    # B over the left half of A, where the tone's bars are: the change waits for B to leave.
    move_b $((ax - aw / 2)) "$ay"
    signal sine 1000 -20
    "$LEVORA_WATCH_BIN" 0 "$a" -- true >/dev/null || fail "window A never stood still"
    move_b "$bx" "$by"
    shoot_still "$e2e_tmp/left.png"
    [ "$(compare -metric AE "$e2e_tmp/left.png" "$e2e_tmp/open.png" null: 2>&1 || true)" != 0 ] ||
        fail "scale $scale: the new level did not show"
    repaint_a
    shoot_still "$e2e_tmp/left-repainted.png"
    same "$e2e_tmp/left.png" "$e2e_tmp/left-repainted.png" "left half covered"

    # B over the right half: the change beside it shows at once.
    move_b $((ax + aw / 2)) "$ay"
    signal sine 1000 -10
    "$LEVORA_WATCH_BIN" 0 "$a" -- true >/dev/null || fail "window A never stood still"
    move_b "$bx" "$by"
    shoot_still "$e2e_tmp/right.png"
    repaint_a
    shoot_still "$e2e_tmp/right-repainted.png"
    same "$e2e_tmp/right.png" "$e2e_tmp/right-repainted.png" "right half covered"

    # B over all of A: nothing of A is drawn while nothing of it shows, and A catches up when
    # B leaves. Regression guard for skipping the drawing of unseen windows: a bar drawn on
    # from where it stood before B came would keep a wrong stretch for good.
    read -r cx cy < <(xwininfo -id "$a" | awk '/Absolute upper-left X/ {x = $NF}
        /Absolute upper-left Y/ {y = $NF} END {print x, y}')
    move_b "$cx" "$cy"
    signal sine 1000 -3
    sleep 2
    move_b "$bx" "$by"
    shoot_still "$e2e_tmp/all.png"
    [ "$(compare -metric AE "$e2e_tmp/all.png" "$e2e_tmp/right.png" null: 2>&1 || true)" != 0 ] ||
        fail "scale $scale: the level given while A was covered did not show"
    # B meters the same card and was never covered: A shows what B shows.
    import -window "$b" "$e2e_tmp/b.png"
    same "$e2e_tmp/all.png" "$e2e_tmp/b.png" "all covered while the level changed"
    echo "scale $scale: what was sent equals the repainted window, open, half and all covered"

    kill -TERM "$pid"
    wait_for_exit "$pid" || fail "levora did not end after SIGTERM"
    signal sine 1000 -40
    # The loud tone's peak waits in the card for its next reader; a restarted card drops it,
    # or the next window would open on a hold that falls while it is shot.
    "$LEVORA_DRIVER_BIN" ctl --dir "$LEVORA_DRIVER_DIR" speed 3 single >/dev/null
done

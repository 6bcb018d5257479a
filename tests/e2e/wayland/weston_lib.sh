# shellcheck shell=bash disable=SC2154 # e2e_tmp comes from lib.sh
# Helpers for the tests under weston (lib.sh with E2E_PLATFORM=wayland): they read the
# screen and the windows through weston's debug protocol, as a person looking at it would
# see them. Wayland gives no input to a test, so nothing here clicks or types.

# Saves the whole screen as $1 (PNG).
weston_screenshot() {
    local dir="$e2e_tmp/screenshooter"
    rm -rf "$dir"
    mkdir -p "$dir"
    (cd "$dir" && weston-screenshooter) || return 1
    mv "$dir"/*.png "$1"
}

# Prints the top-level windows on the screen, the topmost first, one a line:
# "left top right bottom title", the rectangle in screen pixels with the window's
# decoration (right and bottom exclusive).
weston_windows() {
    weston-debug scene-graph | awk '
        /role xdg_toplevel/ && match($0, /top-level window \047.*\047 of /) {
            title = substr($0, RSTART + 18, RLENGTH - 23)
        }
        /^[ \t]*position:/ && title != "" {
            sub(/.*position:/, ""); sub(/->/, " "); gsub(/[(),]/, " ")
            split($0, c, " ")
            print c[1], c[2], c[3], c[4], title
            title = ""
        }'
}

# Waits up to 10 s until a window whose title matches the extended regular expression $1 is
# on the screen and prints its line of weston_windows.
weston_wait_for_window() {
    local line
    for _ in $(seq 1 100); do
        line=$(weston_windows | grep -E -m 1 "^-?[0-9]+ -?[0-9]+ [0-9]+ [0-9]+ .*$1" || true)
        if [ -n "$line" ]; then
            echo "$line"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Counts the pixels of the screenshot $1 inside the rectangle "left top right bottom" ($2..$5,
# in logical pixels as weston_windows gives them) that show a lit meter: the bars' green.
lit_pixels() {
    local f=${E2E_WAYLAND_SCALE:-1}
    convert "$1" -crop "$((($4 - $2) * f))x$((($5 - $3) * f))+$(($2 * f))+$(($3 * f))" +repage -fuzz 20% \
        -fill black +opaque 'rgb(0,220,0)' -fill white -opaque 'rgb(0,220,0)' \
        -format '%[fx:round(mean*w*h)]' info:
}

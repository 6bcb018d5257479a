#!/usr/bin/env bash
# `cmake --install` into a staging directory gives a complete tree: both programs in bin, a
# valid desktop entry, MIME types whose globs reach Levora, valid AppStream metadata that
# shows committed screenshots, clean manual pages, the driver's user service and every icon.
# The staged programs run, and the staged driver serves the user's own card configuration.
set -euo pipefail
: "${LEVORA_BUILD_DIR:?LEVORA_BUILD_DIR must name the build directory}"
: "${LEVORA_SOURCE_DIR:?LEVORA_SOURCE_DIR must name the source directory}"
app_id=example.ostrel.Levora

tmp=$(mktemp -d)
driver_pid=
cleanup() {
    [ -n "$driver_pid" ] && kill "$driver_pid" 2>/dev/null && wait "$driver_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

stage=$tmp/stage
DESTDIR=$stage cmake --install "$LEVORA_BUILD_DIR" --prefix /usr >"$tmp/install.log" ||
    fail "install failed: $(cat "$tmp/install.log")"
usr=$stage/usr

expected=(
    bin/levora bin/levora-driver
    "share/applications/$app_id.desktop"
    "share/metainfo/$app_id.metainfo.xml"
    "share/mime/packages/$app_id.xml"
    share/man/man1/levora.1 share/man/man1/levora-driver.1
    lib/systemd/user/levora-driver.service
    "share/icons/hicolor/scalable/apps/$app_id.svg"
    share/icons/hicolor/scalable/mimetypes/application-x-levora-setup.svg
    share/icons/hicolor/scalable/mimetypes/application-x-levora-workspace.svg
)
for size in 16 22 24 32 48 64 128 256; do
    dir=share/icons/hicolor/${size}x${size}
    expected+=("$dir/apps/$app_id.png" "$dir/mimetypes/application-x-levora-setup.png"
        "$dir/mimetypes/application-x-levora-workspace.png")
done
for file in "${expected[@]}"; do
    [ -s "$usr/$file" ] || fail "not installed: /usr/$file"
done
for size in 16 48 256; do
    file=$usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ "$(identify -format %wx%h "$file")" = "${size}x$size" ] || fail "$file is not $size pixels"
done
[ -x "$usr/bin/levora" ] && [ -x "$usr/bin/levora-driver" ] || fail "programs not executable"

# The desktop entry.
entry=$usr/share/applications/$app_id.desktop
desktop-file-validate "$entry" >"$tmp/validate.log" 2>&1 || fail "desktop entry: $(cat "$tmp/validate.log")"
[ ! -s "$tmp/validate.log" ] || fail "desktop entry hints: $(cat "$tmp/validate.log")"
grep -qx 'Exec=levora %F' "$entry" || fail "Exec line: $(grep ^Exec "$entry")"
grep -qx 'MimeType=application/x-levora-setup;application/x-levora-workspace;' "$entry" ||
    fail "MimeType line: $(grep ^MimeType "$entry")"
grep -qx "Icon=$app_id" "$entry" || fail "Icon line: $(grep ^Icon "$entry")"

# The MIME types, in a private database: *.lvr and *.lvw map to the two types, and only as
# written, as Levora compares the extension.
mime=$tmp/mime
mkdir -p "$mime/packages"
cp "$usr/share/mime/packages/$app_id.xml" "$mime/packages/"
update-mime-database -V "$mime" >"$tmp/mime.log" 2>&1 || fail "update-mime-database: $(cat "$tmp/mime.log")"
! grep -qi 'error\|warning' "$tmp/mime.log" || fail "update-mime-database: $(cat "$tmp/mime.log")"
grep -qx '50:application/x-levora-setup:\*\.lvr:cs' "$mime/globs2" || fail "globs2: $(cat "$mime/globs2")"
grep -qx '50:application/x-levora-workspace:\*\.lvw:cs' "$mime/globs2" || fail "globs2: $(cat "$mime/globs2")"
# What a file manager sees: GLib's look-up in the private database.
mkdir -p "$tmp/files"
for name in studio.lvr all.lvw OLD.LVR; do
    printf 'Stereo Level Meter\n' >"$tmp/files/$name"
done
type_of() {
    XDG_DATA_DIRS=$tmp XDG_DATA_HOME=$tmp/nothing gio info -a standard::content-type "$tmp/files/$1" 2>/dev/null |
        sed -n 's/^ *standard::content-type: //p'
}
[ "$(type_of studio.lvr)" = application/x-levora-setup ] || fail "studio.lvr is $(type_of studio.lvr)"
[ "$(type_of all.lvw)" = application/x-levora-workspace ] || fail "all.lvw is $(type_of all.lvw)"
case "$(type_of OLD.LVR)" in *levora*) fail "OLD.LVR, which Levora refuses, is $(type_of OLD.LVR)" ;; esac
grep -qx 'application/x-levora-setup text/plain' "$mime/subclasses" || fail "setup is no text"
for type in setup workspace; do
    [ -s "$mime/application/x-levora-$type.xml" ] || fail "no application/x-levora-$type"
done

# AppStream, and its screenshots are the committed ones.
metainfo=$usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$tmp/appstream.log" 2>&1 ||
    fail "appstream: $(cat "$tmp/appstream.log")"
shots=$(sed -n 's|.*<image[^>]*>\(.*\)</image>.*|\1|p' "$metainfo")
[ -n "$shots" ] || fail "no screenshots in the metainfo"
for url in $shots; do
    [ -s "$LEVORA_SOURCE_DIR/resources/screenshots/$(basename "$url")" ] ||
        fail "screenshot $url is not in resources/screenshots"
done
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch the desktop entry"

# Manual pages: no warnings from the formatter, and the sections a reader looks for.
for page in levora levora-driver; do
    file=$usr/share/man/man1/$page.1
    MANWIDTH=80 man --warnings -l "$file" >"$tmp/$page.txt" 2>"$tmp/$page.err" ||
        fail "man $page: $(cat "$tmp/$page.err")"
    [ ! -s "$tmp/$page.err" ] || fail "man $page warns: $(cat "$tmp/$page.err")"
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS ENVIRONMENT FILES "EXIT STATUS" EXAMPLES; do
        grep -qx "$section" "$tmp/$page.txt" || fail "man $page has no $section"
    done
done
grep -q 'systemctl --user enable --now levora-driver' "$tmp/levora-driver.txt" ||
    fail "man levora-driver does not say how to enable the service"

# The user service starts the installed driver, at login.
unit=$usr/lib/systemd/user/levora-driver.service
grep -qx 'ExecStart=/usr/bin/levora-driver' "$unit" || fail "ExecStart: $(grep ^ExecStart "$unit")"
grep -qx 'WantedBy=default.target' "$unit" || fail "the service is not started at login"
if command -v systemd-analyze >/dev/null; then
    # Checked as the staged tree would run it: its driver, its manual page.
    mkdir -p "$tmp/unit" "$tmp/unit-run"
    chmod 700 "$tmp/unit-run"
    sed "s|^ExecStart=/usr/bin/|ExecStart=$usr/bin/|" "$unit" >"$tmp/unit/levora-driver.service"
    XDG_RUNTIME_DIR=$tmp/unit-run MANPATH=$usr/share/man \
        systemd-analyze verify --user "$tmp/unit/levora-driver.service" >"$tmp/unit.log" 2>&1 ||
        fail "systemd-analyze: $(cat "$tmp/unit.log")"
    [ ! -s "$tmp/unit.log" ] || fail "systemd-analyze: $(cat "$tmp/unit.log")"
fi

# The staged programs run.
env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/levora" --version >"$tmp/version" ||
    fail "levora --version failed"
[ "$(cat "$tmp/version")" = "Ostrel Levora 2.0" ] || fail "levora --version: $(cat "$tmp/version")"
"$usr/bin/levora-driver" --help >"$tmp/help" || fail "levora-driver --help failed"
head -n 1 "$tmp/help" | grep -q '^Usage: levora-driver ' || fail "levora-driver --help: $(head -n 3 "$tmp/help")"

# With no arguments, as the service runs it, the driver serves the user's configuration.
export XDG_CONFIG_HOME=$tmp/config XDG_RUNTIME_DIR=$tmp/run
mkdir -p "$XDG_CONFIG_HOME/levora" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'card 4 kind 2 speed quad\n' >"$XDG_CONFIG_HOME/levora/cards.conf"
"$usr/bin/levora-driver" 2>"$tmp/driver.log" &
driver_pid=$!
for _ in $(seq 1 50); do
    [ -S "$XDG_RUNTIME_DIR/levora-driver/kestrelOut13" ] && break
    sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/levora-driver/kestrelOut13" ] ||
    fail "the configured card is not served: $(cat "$tmp/driver.log")"
"$usr/bin/levora-driver" ctl list >"$tmp/list" || fail "ctl list failed"
grep -q 'kind 2' "$tmp/list" || fail "ctl list: $(cat "$tmp/list")"
[ ! -e "$XDG_RUNTIME_DIR/levora-driver/madiOut0" ] || fail "the demo cards are served instead"
echo "staged install: ${#expected[@]} files checked"

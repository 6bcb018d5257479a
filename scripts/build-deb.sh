#!/usr/bin/env bash
# Builds the Debian package from a copy of the work tree's files in build/package and checks
# the source and the binary package with lintian: an error or a warning fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
out=build/package
rm -rf "$out"
mkdir -p "$out/levora"
# Tracked and new files, without the build directories, so the copy is a clean source tree.
git ls-files -z --cached --others --exclude-standard |
    tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null | tar -xf - -C "$out/levora"

# A cache makes the second build of unchanged sources cheap; the package does not need it.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
(
    cd "$out/levora"
    dpkg-source --build . >../source.log
    DEB_BUILD_OPTIONS="parallel=$(nproc)" dpkg-buildpackage -us -uc -b >../build.log 2>&1 ||
        { tail -n 40 ../build.log >&2; exit 1; }
)
changes=$(ls "$out"/levora_*.changes)
dpkg -c "$out"/levora_*.deb | awk '{print $6}' >"$out/contents.txt"
echo "package: $(ls "$out"/levora_*.deb), $(wc -l <"$out/contents.txt") entries"
lintian --fail-on error,warning --display-info --pedantic --tag-display-limit 0 \
    "$out"/levora_*.dsc "$changes"
echo "lintian: no error or warning"

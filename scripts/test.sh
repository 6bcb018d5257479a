#!/usr/bin/env bash
# Installs what Levora needs, checks the formatting, builds from scratch and runs every test:
# once in the release build and once with the address and undefined-behaviour sanitizers.
# Builds the Debian package and checks it with lintian on the way.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
bash scripts/check-format.sh

for preset in release asan; do
    echo "== $preset build"
    rm -rf "build/$preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
# Before the tests, so that the test runner's summary closes the output.
echo "== Debian package"
package_start=$SECONDS
bash scripts/build-deb.sh
echo "Debian package built and checked in $((SECONDS - package_start)) s"
for preset in release asan; do
    echo "== $preset tests"
    # A test that fails runs once more, and the log shows it: the end-to-end and JACK tests
    # start servers of their own, which a loaded machine may keep from answering in time; a
    # fault of the program fails twice.
    ctest --preset "$preset" --timeout 300 --repeat until-pass:2
done

#!/bin/bash
# Runs a test command with LEVORA_FULL_FS naming a small tmpfs of its own, mounted in a
# private user and mount namespace. Exits 77 (skipped) where such a mount is not allowed.
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
if ! unshare -rm true 2>/dev/null; then
    echo "full_disk.sh: no user namespaces here; skipping" >&2
    exit 77
fi
unshare -rm bash -c 'mount -t tmpfs -o size=256k levora-full "$1" || exit 77
    LEVORA_FULL_FS="$1" "${@:2}"' _ "$dir" "$@"

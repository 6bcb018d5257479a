#!/usr/bin/env bash
# Fails when a tracked C++ file is not formatted by the root .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
[ ${#files[@]} -eq 0 ] && exit 0
if ! clang-format-14 --dry-run --Werror "${files[@]}"; then
    echo "check-format: run clang-format-14 -i on the files above" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted"

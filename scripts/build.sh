#!/usr/bin/env bash
# Configures (once) and builds one build directory.
#   scripts/build.sh <build-dir> [extra cmake options...] [-- targets...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"; shift
options=(); targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
  options+=("$1"); shift
done
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$dir" -G Ninja "${options[@]}"
fi
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$dir" --parallel "$(nproc)" --target "${targets[@]}"
else
  cmake --build "$dir" --parallel "$(nproc)"
fi

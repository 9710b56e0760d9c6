#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: once in an
# optimised build and once under AddressSanitizer and UndefinedBehaviorSanitizer,
# then replays and briefly runs the fuzz targets.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build && ctest --output-on-failure --parallel "$(nproc)")

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DQUARZEL_SANITIZE=ON
(cd build-asan && ctest --output-on-failure --parallel "$(nproc)")

# The fuzz targets: every seed and every crasher found so far must pass; then
# a minute of fuzzing each. What that random search turns up is reported with
# its input saved under build-fuzz/findings/, but it does not decide whether
# this run passes: only the known inputs do.
FUZZ_SECONDS="${FUZZ_SECONDS:-60}" FUZZ_FINDINGS_FATAL="${FUZZ_FINDINGS_FATAL:-0}" fuzz/run.sh

#!/usr/bin/env bash
# Builds the fuzz targets (clang with libFuzzer, in build-fuzz/), replays each
# target's seed corpus and every crasher found so far, then fuzzes each target
# for FUZZ_SECONDS seconds (default 60; 0 only replays). A new finding is
# written to build-fuzz/findings/<target>/ and fails the run (unless
# FUZZ_FINDINGS_FATAL=0, which only reports it); once fixed, it is kept in
# fuzz/crashers/<target>/ so that every later run replays it. A failing
# replay of a known input always fails the run.
#   fuzz/run.sh [target...]      (default: every target)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-60}"
findings_fatal="${FUZZ_FINDINGS_FATAL:-1}"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_table fuzz_memo fuzz_listfile fuzz_append fuzz_expr)

"$root/scripts/build.sh" "$build" -DCMAKE_CXX_COMPILER=clang++ -DQUARZEL_BUILD_FUZZERS=ON -- "${targets[@]}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Limits that turn a hang or an allocation driven by a size field into a finding.
limits=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=256)

status=0
for target in "${targets[@]}"; do
  binary="$build/fuzz/$target"
  seeds="$root/fuzz/corpus/$target"
  crashers="$root/fuzz/crashers/$target"
  findings="$build/findings/$target"
  work="$build/fuzz-work/$target"
  mkdir -p "$findings" "$work"

  echo "== $target: replaying the corpus and the crashers"
  mapfile -t known < <(find "$seeds" "$crashers" -type f 2>/dev/null | sort)
  if [ ${#known[@]} -gt 0 ] && ! "$binary" "${limits[@]}" "${known[@]}" >"$findings/replay.log" 2>&1; then
    tail -n 40 "$findings/replay.log"
    echo "== $target: replay FAILED (log: $findings/replay.log)"
    status=1
    continue
  fi

  [ "$seconds" -gt 0 ] || continue
  echo "== $target: fuzzing for $seconds s"
  if ! "$binary" "${limits[@]}" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$findings/" "$work" "$seeds" >"$findings/fuzz.log" 2>&1; then
    tail -n 40 "$findings/fuzz.log"
    echo "== $target: finding (log: $findings/fuzz.log, input in $findings/)"
    [ "$findings_fatal" = 0 ] || status=1
  fi
done
exit $status

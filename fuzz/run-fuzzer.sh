#!/usr/bin/env bash
# Runs one fuzz target for a while and prints libFuzzer's final statistics.
#
#   fuzz/run-fuzzer.sh NAME SECONDS [BUILD_DIR]
#
# BUILD_DIR (default build-fuzz) is a build configured with
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DORV_FUZZ=ON -DORV_TESTS=OFF
# The growing corpus lives in BUILD_DIR/fuzz-work/NAME (the seeds in
# fuzz/corpus/NAME are only read); inputs that fail are saved as
# BUILD_DIR/fuzz-work/NAME-crash-* and the log as BUILD_DIR/fuzz-work/NAME.log.
set -euo pipefail
cd "$(dirname "$0")/.."

name="${1:?usage: fuzz/run-fuzzer.sh NAME SECONDS [BUILD_DIR]}"
seconds="${2:?usage: fuzz/run-fuzzer.sh NAME SECONDS [BUILD_DIR]}"
build="${3:-build-fuzz}"
fuzzer="$build/fuzz/fuzz_$name"
[ -x "$fuzzer" ] || { echo "no $fuzzer: cmake --build $build --target fuzz_$name" >&2; exit 2; }

work="$build/fuzz-work"
mkdir -p "$work/$name"
# Larger inputs only for the DXF reader: drawings need room, a reply does not.
case "$name" in
  dxf_reader) max_len=65536 ;;
  preview_bitmap) max_len=16384 ;;
  *) max_len=4096 ;;
esac
dict=()
[ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
# ORV_FUZZ_KEEP_GOING=1: the fuzzer runs in a child process and goes on after a
# failing input (each is still saved), so that a long run is not ended by its
# first finding.
keep_going=()
[ "${ORV_FUZZ_KEEP_GOING:-0}" = 1 ] && keep_going=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)

# -timeout is generous: on a shared machine a fuzzer run at low priority may wait
# seconds for a core, and a slow input is reported as a hang.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
"$fuzzer" "$work/$name" "fuzz/corpus/$name" \
  -max_total_time="$seconds" -max_len="$max_len" -timeout=60 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$work/$name-" "${dict[@]}" "${keep_going[@]}" \
  >"$work/$name.log" 2>&1 && status=0 || status=$?
date -u +"%Y-%m-%d %H:%M UTC"
grep -E "^#[0-9]+[[:space:]]+DONE|^stat::|SUMMARY|ERROR|check failed" "$work/$name.log" || true
ls "$work" | grep -E "^$name-(crash|leak|timeout|oom)-" || true
exit "$status"

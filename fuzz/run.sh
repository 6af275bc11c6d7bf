#!/usr/bin/env bash
# Runs the fuzz targets of a clang build (see fuzz/CMakeLists.txt).
#
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]   fuzz each target for SECONDS
#   fuzz/run.sh BUILD_DIR merge [TARGET...]     minimise BUILD_DIR's corpus of
#                                               each target into fuzz/corpus
#
# TARGET is reader, render or textform (all three by default). The working
# corpus of a target is BUILD_DIR/corpus/TARGET; it starts from the corpus
# kept in fuzz/corpus/TARGET, the seed scenes of make_seeds and the example
# scenes (their files for reader and render, their text sources for
# textform). Faults are written to BUILD_DIR/artifacts/TARGET/, the fuzzer's
# output to BUILD_DIR/logs/TARGET-DATE.log, and one line per run (runs,
# speed, CPU time) to BUILD_DIR/logs/runs.txt.
set -euo pipefail

if [ $# -lt 2 ]; then
  sed -n '2,13p' "$0" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
mode=$2
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=(reader render textform); fi

seeds=$build/seeds
if [ ! -d "$seeds/scenes" ]; then "$build/make_seeds" "$seeds" 200 >/dev/null; fi
examples=$build/qmv/examples

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/fuzz/lsan.supp:print_suppressions=0}
# llvmpipe draws in the calling thread: one core per fuzzer.
export LP_NUM_THREADS=${LP_NUM_THREADS:-0}

for target in "${targets[@]}"; do
  case $target in
    reader|render) seed_dirs=("$seeds/scenes") ;;
    textform) seed_dirs=("$seeds/text" "$root/examples") ;;
    *) echo "run.sh: no target $target" >&2; exit 2 ;;
  esac
  kept=$root/fuzz/corpus/$target
  corpus=$build/corpus/$target
  mkdir -p "$kept" "$corpus" "$build/artifacts/$target" "$build/logs"
  if [ "$target" != textform ] && [ -d "$examples" ]; then
    cp -f "$examples"/*.qmv "$examples"/*.qmvz "$corpus"/ 2>/dev/null || true
  fi
  # The timeout is wall-clock time: on a machine shared with other work a
  # unit of a second can take many times that.
  options=(-timeout=60 -rss_limit_mb=2560 -max_len=65536 -print_final_stats=1
           "-artifact_prefix=$build/artifacts/$target/")
  if [ "$mode" = merge ]; then
    # The kept corpus is rebuilt small: the inputs that reach new edges (hit
    # counts aside), smallest first, each cut to 512 bytes; the regression
    # inputs (regress-*) are kept whole.
    merged=$build/merged/$target
    rm -rf "$merged"
    mkdir -p "$merged"
    "$build/fuzz_$target" -merge=1 -use_counters=0 -max_len=512 -timeout=60 \
      "$merged" "$corpus" "${seed_dirs[@]}" 2>&1 | tail -n 1
    find "$kept" -maxdepth 1 -type f ! -name 'regress-*' -delete
    cp "$merged"/* "$kept"/
    echo "fuzz/corpus/$target: $(ls "$kept" | wc -l) files, $(du -sh --apparent-size "$kept" | cut -f1)"
  else
    log=$build/logs/$target-$(date +%Y%m%d-%H%M%S).log
    echo "fuzz_$target: $mode s, log in $log"
    status=0
    /usr/bin/time -o "$log.time" -f "cpu: %U s user, %S s system, %e s wall, %M KiB peak" \
      "$build/fuzz_$target" -max_total_time="$mode" "${options[@]}" \
      "$corpus" "$kept" "${seed_dirs[@]}" >"$log" 2>&1 || status=$?
    # One line per run in runs.txt: what the fuzzer printed, and its CPU time.
    {
      printf '%s %s: ' "$(date '+%F %T')" "$target"
      { grep -E '^Done [0-9]+ runs' "$log" || true; } | tr '\n' ' '
      { grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" || true; } |
        tail -n 3 | tr '\n' ' '
      tr '\n' ' ' <"$log.time"
      [ $status -eq 0 ] || printf 'FAULT (exit %s)' "$status"
      echo
    } >>"$build/logs/runs.txt"
    if [ $status -ne 0 ]; then
      echo "fuzz_$target stopped with a fault; see $log" >&2
      tail -n 40 "$log" >&2
      exit 1
    fi
    grep -E '^(stat::|Done)' "$log" || true
    cat "$log.time"
  fi
done

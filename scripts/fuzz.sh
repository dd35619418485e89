#!/usr/bin/env bash
# Fuzzes the readers of what other programs write with libFuzzer,
# AddressSanitizer and UBSan (natively, with clang): the settings file (kept
# inputs in tests/fuzz/corpus), Report.wer (tests/fuzz/corpus_wer_report) and the
# event log's record buffer (tests/fuzz/corpus_event_records).
#   scripts/fuzz.sh [runs] [jobs]     default 10000000 executions per target, split
#                                     over `jobs` processes (default: one per core)
#   VTX_FUZZ_TARGETS="wer_report"     only these targets (default: settings
#                                     wer_report event_records)
#   VTX_FUZZ_KEEP=1 scripts/fuzz.sh   also merges inputs that reach new code into
#                                     the target's corpus (the test command replays them)
# A crash or a broken property stops the run and leaves the input in build/fuzz/<target>/.
source "$(dirname "$0")/common.sh"
runs=${1:-10000000}
jobs=${2:-$(nproc)}
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || {
    log "installing: $p"
    sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$p"
  }
done

targets=${VTX_FUZZ_TARGETS:-settings wer_report event_records}
# The configure step writes the generated headers the portable code includes.
cmake -S "$VTX_ROOT" -B "$VTX_BUILD/native" >/dev/null
mapfile -t sources < <(find "$VTX_ROOT/src" -name '*.cpp' ! -name '*_win.cpp' | sort)
status=0
for target in $targets; do
  out="$VTX_BUILD/fuzz/$target"
  kept="$VTX_ROOT/tests/fuzz/corpus_$target"
  # Inputs of up to 20 records keep the settings run fast; the reader's limits at
  # record 164 and beyond are kept inputs of the corpus (replayed whole by the test
  # command). A Report.wer and a buffer of records fit in 8 KiB.
  max_len=8192
  if [ "$target" = settings ]; then kept="$VTX_ROOT/tests/fuzz/corpus"; max_len=4096; fi
  mkdir -p "$out/corpus"
  log "build: $target fuzz target (clang, libFuzzer, ASan, UBSan)"
  clang++ -std=c++20 -O2 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$VTX_ROOT/src" -I"$VTX_ROOT/tests" -I"$VTX_BUILD/native/generated" \
    "$VTX_ROOT/tests/fuzz/${target}_fuzz.cpp" "${sources[@]}" -lz -o "$out/${target}_fuzz"

  log "fuzz $target: $runs executions in $jobs processes (progress in $out/fuzz-*.log)"
  (
    cd "$out"
    rm -f fuzz-*.log
    set +e
    "./${target}_fuzz" -jobs="$jobs" -workers="$jobs" -runs=$(((runs + jobs - 1) / jobs)) -max_len=$max_len \
      -print_final_stats=1 -artifact_prefix="$out/" corpus "$kept" >"$out/fuzz.log" 2>&1
    result=$?
    set -e
    for f in fuzz-*.log; do
      echo "-- $f"
      grep -E '^(stat::|Done|INFO: Seed|==[0-9]+==ERROR|SUMMARY|.* fuzz: property)' "$f" || true
    done
    total=$(cat fuzz-*.log | awk '/^stat::number_of_executed_units/ {s += $2} END {print s + 0}')
    echo "$target: executions in total: $total; exit status: $result"
    if [ "${VTX_FUZZ_KEEP:-0}" = 1 ] && [ "$result" -eq 0 ]; then
      log "keeping inputs that reach new code in $kept"
      "./${target}_fuzz" -merge=1 "$kept" corpus
    fi
    exit "$result"
  ) || status=1
done
exit "$status"

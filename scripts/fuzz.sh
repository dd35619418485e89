#!/usr/bin/env bash
# Fuzzes the settings file reader with libFuzzer, AddressSanitizer and UBSan
# (natively, with clang), starting from the kept inputs in tests/fuzz/corpus.
#   scripts/fuzz.sh [runs] [jobs]     default 10000000 executions in total, split
#                                     over `jobs` processes (default: one per core)
#   VTX_FUZZ_KEEP=1 scripts/fuzz.sh   also merges inputs that reach new code into
#                                     tests/fuzz/corpus (the test command replays them)
# A crash or a broken property stops the run and leaves the input in build/fuzz/.
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

out="$VTX_BUILD/fuzz"
mkdir -p "$out/corpus"
# The configure step writes the generated headers the portable code includes.
cmake -S "$VTX_ROOT" -B "$VTX_BUILD/native" >/dev/null
mapfile -t sources < <(find "$VTX_ROOT/src" -name '*.cpp' ! -name '*_win.cpp' | sort)
log "build: settings fuzz target (clang, libFuzzer, ASan, UBSan)"
clang++ -std=c++20 -O2 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$VTX_ROOT/src" -I"$VTX_ROOT/tests" -I"$VTX_BUILD/native/generated" \
  "$VTX_ROOT/tests/fuzz/settings_fuzz.cpp" "${sources[@]}" -o "$out/settings_fuzz"

log "fuzz: $runs executions in $jobs processes (progress in $out/fuzz-*.log)"
cd "$out"
rm -f fuzz-*.log
# Inputs of up to 20 records keep the run fast; the reader's limits at record 164
# and beyond are kept inputs of the corpus (replayed whole by the test command).
set +e
./settings_fuzz -jobs="$jobs" -workers="$jobs" -runs=$(((runs + jobs - 1) / jobs)) -max_len=4096 \
  -print_final_stats=1 -artifact_prefix="$out/" corpus "$VTX_ROOT/tests/fuzz/corpus" >"$out/fuzz.log" 2>&1
status=$?
set -e
for f in fuzz-*.log; do
  echo "-- $f"
  grep -E '^(stat::|Done|INFO: Seed|==[0-9]+==ERROR|SUMMARY|settings fuzz)' "$f" || true
done
total=$(cat fuzz-*.log | awk '/^stat::number_of_executed_units/ {s += $2} END {print s + 0}')
echo "executions in total: $total; exit status: $status"
if [ "${VTX_FUZZ_KEEP:-0}" = 1 ] && [ "$status" -eq 0 ]; then
  log "keeping inputs that reach new code in tests/fuzz/corpus"
  ./settings_fuzz -merge=1 "$VTX_ROOT/tests/fuzz/corpus" corpus
fi
exit "$status"

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the portable unit tests
# natively (with sanitizers) and under Wine, the Win32 tests and the end-to-end
# tests of the real exe under Wine and Xvfb.
source "$(dirname "$0")/scripts/common.sh"
trap vtx_cleanup EXIT
vtx_install
vtx_build
status=0
results="$VTX_BUILD/test-results"
rm -rf "$results" && mkdir -p "$results"
# The tests leave every archive they make here, beside the folder it must hold,
# for the independent reader below.
export VTX_ARCHIVE_KEEP="$results/archives"

# Runs one ctest tree with the test programs' full output kept in a file (the
# closing count is read from it); the console gets ctest's own lines, and the
# whole output where something failed.
run_ctest() {
  local dir=$1 out=$2
  if ctest --test-dir "$dir" -V >"$out" 2>&1; then
    grep -E '^ *[0-9]+/[0-9]+ Test #|tests passed|Total Test time' "$out" || true
  else
    cat "$out"
    status=1
  fi
}

log "tests: native"
run_ctest "$VTX_BUILD/native" "$results/native.txt"

vtx_display
vtx_prefix
vtx_sample
log "tests: Windows (under Wine)"
run_ctest "$VTX_WIN" "$results/win.txt"
for bmp in "$VTX_WIN"/screenshots/*.bmp; do
  if [ -e "$bmp" ]; then convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"; fi
done
ls "$VTX_WIN"/screenshots/*.png 2>/dev/null | sed 's/^/screenshot: /' || true

log "tests: archives, read by Python's zipfile"
if python3 "$VTX_ROOT/tests/check_archives.py" "$VTX_ARCHIVE_KEEP" >"$results/archives.txt" 2>&1; then
  grep -F '[  PASSED  ]' "$results/archives.txt"
else
  cat "$results/archives.txt"
  status=1
fi

# One closing line over both runs, counted from the test programs' own summaries.
passed=$(cat "$results"/*.txt | { grep -oE '\[  PASSED  \] [0-9]+' || true; } | awk '{s+=$4} END {print s+0}')
failed=$(cat "$results"/*.txt | { grep -oE '\[  FAILED  \] [0-9]+ test' || true; } | awk '{s+=$4} END {print s+0}')
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
echo "${passed} passed, ${failed} failed"
exit $status

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

log "tests: native"
ctest --test-dir "$VTX_BUILD/native" --output-on-failure 2>&1 | tee "$results/native.txt" || status=1

vtx_display
vtx_prefix
vtx_sample
log "tests: Windows (under Wine)"
ctest --test-dir "$VTX_WIN" --output-on-failure 2>&1 | tee "$results/win.txt" || status=1
for bmp in "$VTX_WIN"/screenshots/*.bmp; do
  [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls "$VTX_WIN"/screenshots/*.png 2>/dev/null | sed 's/^/screenshot: /' || true

# One closing line over both runs, counted from the test programs' own summaries.
passed=$(cat "$results"/*.txt | grep -oE '\[  PASSED  \] [0-9]+' | awk '{s+=$4} END {print s+0}')
failed=$(cat "$results"/*.txt | grep -oE '\[  FAILED  \] [0-9]+ test' | awk '{s+=$4} END {print s+0}')
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
echo "${passed} passed, ${failed} failed"
exit $status

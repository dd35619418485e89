#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the portable unit tests
# natively (with sanitizers), then in each Windows world under Wine and Xvfb the
# same unit tests, the Win32 tests and the end-to-end tests of the real exe: the
# product (32-bit) on 64-bit and on 32-bit Windows, and the 64-bit build. Where the
# machine runs no 32-bit programs, the product gets a smoke under i386 emulation
# (scripts/smoke32.sh) in place of its two worlds.
source "$(dirname "$0")/scripts/common.sh"
trap vtx_cleanup EXIT
vtx_install
vtx_build native win64 win32
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

# The product's worlds need a machine that runs 32-bit programs. Elsewhere (or
# with VTX_EMULATE_32BIT=1) the product's exact bytes get a smoke under i386
# emulation instead, and the lines before and after the tests say so.
worlds=(wow64 win32 win64)
untested="" emulated=0
if [ "${VTX_EMULATE_32BIT:-}" = 1 ] || ! vtx_runs_32bit; then
  worlds=(win64)
  why=$VTX_NO_32BIT_TEXT
  [ "${VTX_EMULATE_32BIT:-}" != 1 ] || why="VTX_EMULATE_32BIT=1 asks for the emulated path"
  if "$VTX_ROOT/scripts/smoke32.sh" --probe; then
    emulated=1
    untested="TESTED UNDER EMULATION ONLY: the 32-bit product build/dist/VTXDiagnostic.exe (smoke checks); the full product worlds need a machine that runs 32-bit programs ($why)."
  else
    untested="NOT TESTED: the 32-bit product build/dist/VTXDiagnostic.exe (worlds wow64 and win32): $why, and the i386 emulation cannot be set up here (see above)."
  fi
  log "$untested"
fi

vtx_display
for world in "${worlds[@]}"; do
  vtx_world "$world"
  vtx_prefix
  vtx_sample
  shots="$VTX_BUILD/screenshots/$world"
  rm -rf "$shots" && mkdir -p "$shots"
  export VTX_SCREENSHOTS="Z:${shots//\//\\}"
  log "tests: $world ($(basename "$VTX_TREE") build, $WINEARCH prefix)"
  run_ctest "$VTX_TREE" "$results/$world.txt"
  vtx_stop_prefix
  for bmp in "$shots"/*.bmp; do
    if [ -e "$bmp" ]; then convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"; fi
  done
  ls "$shots"/*.png 2>/dev/null | sed 's/^/screenshot: /' || true
done

if [ "$emulated" = 1 ]; then
  log "tests: the 32-bit product under i386 emulation (smoke)"
  smoke=0
  VTX_SMOKE_BUILT=1 "$VTX_ROOT/scripts/smoke32.sh" || smoke=$?
  if [ "$smoke" -eq 3 ]; then
    # Set up a moment ago, refused now: nothing of the product was checked.
    untested="NOT TESTED: the 32-bit product build/dist/VTXDiagnostic.exe: the i386 emulation could not be set up (see above)."
    status=1
  elif [ "$smoke" -ne 0 ]; then
    status=1
  fi
  # A check the emulator could not carry out is named, never passed over.
  notchecked=$(grep -h '^smoke32: NOT CHECKED' "$results/smoke32.txt" 2>/dev/null || true)
  [ -z "$notchecked" ] || untested="$untested ${notchecked#smoke32: }."
fi

log "tests: archives, read by Python's zipfile"
if python3 "$VTX_ROOT/tests/check_archives.py" "$VTX_ARCHIVE_KEEP" >"$results/archives.txt" 2>&1; then
  grep -F '[  PASSED  ]' "$results/archives.txt"
else
  cat "$results/archives.txt"
  status=1
fi

# One closing line over every run, counted from the test programs' own summaries.
for f in "$results"/*.txt; do
  printf '%-10s %s\n' "$(basename "$f" .txt):" "$({ grep -oE '\[  PASSED  \] [0-9]+' "$f" || true; } | awk '{s+=$4} END {print s+0}') passed"
done
passed=$(cat "$results"/*.txt | { grep -oE '\[  PASSED  \] [0-9]+' || true; } | awk '{s+=$4} END {print s+0}')
failed=$(cat "$results"/*.txt | { grep -oE '\[  FAILED  \] [0-9]+ test' || true; } | awk '{s+=$4} END {print s+0}')
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
[ -z "$untested" ] || echo "$untested"
echo "${passed} passed, ${failed} failed"
exit $status

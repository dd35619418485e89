#!/usr/bin/env bash
# The handed-out program's exact bytes (build/dist/VTXDiagnostic.exe) started under
# i386 user-mode emulation, for machines whose kernel runs no 32-bit programs:
# a smoke of a few commands in the WoW64 world, not the suite (every emulated
# process takes about a minute to start). test.sh calls it there; it can be tried
# anywhere with VTX_EMULATE_32BIT=1.
#
# The emulator (Debian's qemu-i386-static) is registered with binfmt_misc for
# 32-bit x86 programs only for this run. Where the kernel gives a user namespace
# its own binfmt_misc (Linux 6.7 on), the script runs in such a namespace and the
# machine itself never sees the entry; elsewhere the entry goes into the machine's
# binfmt_misc and a trap takes it out again on every exit (an entry of that name
# that was there before is left as it was, as is a binfmt_misc mounted before).
#
# `smoke32.sh --probe` only sets the emulation up and takes it down again: exit
# code 0 where the smoke can run.
#
# Each check prints a line; the closing lines count them as the test programs
# do ("[  PASSED  ] N tests.", "[  FAILED  ] N tests"), into
# build/test-results/smoke32.txt as well. Exit code 0 when every check passed,
# 1 when one failed, 3 when emulation could not be set up (nothing was checked).
set -euo pipefail
SMOKE_SELF=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

QEMU_I386=/usr/bin/qemu-i386-static
BINFMT=/proc/sys/fs/binfmt_misc
ENTRY=vtx-qemu-i386
# ELF, 32-bit, little endian, an executable or shared object for the i386.
I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

cannot() {
  echo "smoke32: the 32-bit product cannot be run under emulation here: $*" >&2
  exit 3
}

# Registers the emulator in the binfmt_misc that this process sees; the trap
# undoes exactly what was done.
SMOKE_MOUNTED=0 SMOKE_REGISTERED=0
emulation_off() {
  if [ "$SMOKE_REGISTERED" = 1 ] && [ -e "$BINFMT/$ENTRY" ]; then echo -1 >"$BINFMT/$ENTRY" || true; fi
  if [ "$SMOKE_MOUNTED" = 1 ]; then umount "$BINFMT" 2>/dev/null || true; fi
}
emulation_on() {
  [ -x "$QEMU_I386" ] || cannot "$QEMU_I386 is missing (package qemu-user-static)"
  if [ ! -e "$BINFMT/register" ]; then
    mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null || cannot "binfmt_misc cannot be mounted on $BINFMT"
    SMOKE_MOUNTED=1
  fi
  if [ -e "$BINFMT/$ENTRY" ]; then
    echo "smoke32: binfmt_misc entry $ENTRY was there before; it is used and left as it is"
  else
    printf '%s' ":$ENTRY:M::$I386_MAGIC:$I386_MASK:$QEMU_I386:F" >"$BINFMT/register" 2>/dev/null ||
      cannot "the emulator cannot be registered with binfmt_misc"
    SMOKE_REGISTERED=1
  fi
  vtx_runs_32bit || cannot "the 32-bit Wine loader does not start even under the emulator"
}

# Outside the namespace: enter one of its own where the kernel allows, else
# register in the machine's binfmt_misc for this run.
if [ "${VTX_SMOKE_INNER:-}" != 1 ]; then
  # Started on its own, it installs and builds what it needs (test.sh has done so).
  if [ "${VTX_SMOKE_BUILT:-}" != 1 ] && [ "${1:-}" != --probe ]; then
    vtx_install
    vtx_build win64 win32
  fi
  grep -qw binfmt_misc /proc/filesystems || cannot "the kernel has no binfmt_misc"
  [ -x "$QEMU_I386" ] || cannot "$QEMU_I386 is missing (package qemu-user-static)"
  if command -v unshare >/dev/null &&
    unshare --user --map-root-user --mount sh -c "mount -t binfmt_misc binfmt_misc $BINFMT" 2>/dev/null; then
    VTX_SMOKE_INNER=1 exec unshare --user --map-root-user --mount bash "$SMOKE_SELF" "$@"
  fi
  [ "$(id -u)" -eq 0 ] || cannot "registering with the machine's binfmt_misc needs root"
fi

trap 'emulation_off; vtx_cleanup' EXIT
emulation_on
# --probe: only whether emulation can be set up here (nothing is checked).
if [ "${1:-}" = --probe ]; then exit 0; fi

results="$VTX_BUILD/test-results"
mkdir -p "$results"
report="$results/smoke32.txt"
: >"$report"
say() { printf '%s\n' "$*" | tee -a "$report"; }
passed=0 failed=0 unchecked=""
# check NAME COMMAND...: one check, its output kept in the report.
# The output goes through a file, not a pipe: the wineserver a check starts
# lives on and would hold a pipe open.
check() {
  local name=$1 start=$SECONDS out="$results/smoke32-step.txt" rc=0
  shift
  say "[ RUN      ] Smoke32.$name"
  "$@" >"$out" 2>&1 || rc=$?
  tee -a "$report" <"$out"
  rm -f "$out"
  if [ "$rc" -eq 0 ]; then
    say "[       OK ] Smoke32.$name ($((SECONDS - start)) s)"
    passed=$((passed + 1))
  elif [ "$rc" -eq "$EMULATOR_DIED" ]; then
    say "[  NOT CHECKED ] Smoke32.$name: the emulator itself died in every attempt ($((SECONDS - start)) s)"
    unchecked="$unchecked $name"
  else
    say "[  FAILED  ] Smoke32.$name ($((SECONDS - start)) s)"
    failed=$((failed + 1))
  fi
}
started=$SECONDS
say "smoke32: the 32-bit product $VTX_DIST/VTXDiagnostic.exe under i386 emulation ($QEMU_I386)"

# The WoW64 world in a prefix of its own (made under emulation: its 32-bit half
# is set up by 32-bit programs), the display, and the sample installation laid
# out by the 64-bit build's programs (natively: fast).
vtx_world wow64
export WINEPREFIX="$VTX_PRODUCT/wineprefix-emulated" VTX_WINEPREFIX="$VTX_PRODUCT/wineprefix-emulated"
vtx_display
prefix() {
  vtx_prefix && [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] ||
    { echo "the prefix has no 32-bit half (syswow64)"; return 1; }
}
check Prefix prefix
WINE64=/usr/lib/wine/wine64
tool="$VTX_SAMPLE_INSTALL\\Tools\\VTXDiagnostic.exe"
unix() { WINEDEBUG=-all "$WINE64" winepath -u "$1" 2>/dev/null; }
work="$VTX_BUILD/smoke32"
rm -rf "$work" && mkdir -p "$work"
winwork="Z:${work//\//\\}"

# One start of a 32-bit program under the emulator. qemu's user mode now and then
# dies itself ("qemu: uncaught target signal", seen with /export, never natively):
# such a start is tried again, up to three times in all, each attempt named. When
# the emulator dies every time, the exit code is 77: the check says it could not
# be made, which is no result of the product's. Any other failure counts at once.
EMULATOR_DIED=77
emulated() {
  local attempt err rc
  err=$(mktemp)
  for attempt in 1 2 3; do
    rc=0
    "$WINE" "$@" 2>"$err" || rc=$?
    if [ "$rc" -ne 0 ] && grep -q 'qemu: uncaught target signal' "$err"; then
      echo "the emulator itself died (attempt $attempt: $(grep -m1 'qemu:' "$err"))" >&2
      rc=$EMULATOR_DIED
      continue
    fi
    cat "$err" >&2
    break
  done
  rm -f "$err"
  return "$rc"
}
export -f emulated
export WINE EMULATOR_DIED

# The 64-bit build's own answers on this sample, from the same place the product
# is then started from: what the product must say as well.
reference() {
  "$WINE64" "$VTX_WIN/bin/mksample.exe" "$VTX_SAMPLE_INSTALL" &&
    "$WINE64" "$tool" /report "$winwork\\reference-report.txt" /debug &&
    "$WINE64" "$tool" /system "$winwork\\reference-system.txt"
}
check SampleAndReference reference
cp "$VTX_DIST/VTXDiagnostic.exe" "$(unix "$tool")"

check ReportWithDebugSection bash -c '
  emulated "$2" /report "$3\\report.txt" /debug &&
  python3 "$4/tests/smoke32_check.py" report "$5/report.txt" "$5/reference-report.txt"' \
  _ "$WINE" "$tool" "$winwork" "$VTX_ROOT" "$work"

check SystemProfileSays32Bit bash -c '
  emulated "$2" /system "$3\\system.txt" &&
  python3 "$4/tests/smoke32_check.py" profile "$5/system.txt" "$5/reference-system.txt"' \
  _ "$WINE" "$tool" "$winwork" "$VTX_ROOT" "$work"

# The export into a fresh folder: the tree as the export tests expect it, and its
# archive read by the independent reader.
export VTX_ARCHIVE_KEEP="$work/archives"
check ExportTreeAndArchive bash -c '
  emulated "$2" /export "$3\\export" >/dev/null &&
  "$4" "$5/bin/vtxdrive.exe" export-check "$6" "$3\\export" &&
  { out=$(python3 "$7/tests/check_archives.py" "$8"); rc=$?
    # Its own closing count stays out of this one.
    printf "%s\n" "$out" | grep -v "^\[  \(PASSED\|FAILED\)  \] [0-9]"; exit $rc; }' \
  _ "$WINE" "$tool" "$winwork" "$WINE64" "$VTX_WIN" "$VTX_SAMPLE_INSTALL" "$VTX_ROOT" "$VTX_ARCHIVE_KEEP"

# One start of the window, driven and closed from a second (64-bit) process.
shots="$VTX_BUILD/screenshots/wow64-emulated"
rm -rf "$shots" && mkdir -p "$shots"
window() {
  "$WINE64" "$VTX_WIN/bin/vtxdrive.exe" shot "$tool" "Z:${shots//\//\\}\\main-window.bmp" 300 >"$work/window.txt" || return 1
  tr -d '\r' <"$work/window.txt"
  convert "$shots/main-window.bmp" "$shots/main-window.png" && rm -f "$shots/main-window.bmp"
  echo "screenshot: $shots/main-window.png"
  [ "$(tr -d '\r' <"$work/window.txt")" = "lines: 45" ]
}
check WindowShowsTheReport window

say "smoke32: $((SECONDS - started)) s in all"
say "[  PASSED  ] $passed tests."
[ "$failed" -eq 0 ] || say "[  FAILED  ] $failed tests, listed above"
[ -z "$unchecked" ] || say "smoke32: NOT CHECKED under emulation (the emulator itself died):$unchecked"
[ "$failed" -eq 0 ]

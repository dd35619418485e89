#!/usr/bin/env bash
# Installs what is missing, builds the product (build/dist/VTXDiagnostic.exe, the
# 32-bit program), lays out the sample installation in a private 64-bit Wine prefix
# and starts exactly that exe on it (the 64-bit build where the machine runs no
# 32-bit programs). Without a display it runs under Xvfb, saves a
# screenshot of the main window and prints the report through /report.
source "$(dirname "$0")/scripts/common.sh"
trap vtx_cleanup EXIT
vtx_install
vtx_build win32
world=wow64
if ! vtx_runs_32bit; then
  # The product is built; only the 64-bit build can be shown on this machine.
  log "$VTX_NO_32BIT_TEXT; starting the 64-bit build instead"
  vtx_build win64
  world=win64
fi
vtx_display
vtx_world "$world"
vtx_prefix
vtx_sample
tool="$VTX_SAMPLE_INSTALL\\Tools\\VTXDiagnostic.exe"
if [ "${VTX_HEADLESS:-0}" = 1 ]; then
  shot="$VTX_BUILD/screenshots/run-main.png"
  mkdir -p "$(dirname "$shot")"
  log "no display: starting the tool under Xvfb"
  bmp="${shot%.png}.bmp"
  "$WINE" "$VTX_TREE/bin/vtxdrive.exe" shot "$tool" "Z:${bmp//\//\\}"
  convert "$bmp" "$shot" && rm -f "$bmp"
  echo "screenshot of the main window: $shot"
  # The same report as the window shows, through the command line. On a pipe the
  # tool writes the ANSI code page (Wine's is 1252 under this UTF-8 locale).
  log "the report: VTXDiagnostic.exe /report"
  "$WINE" "$tool" /report | iconv -f WINDOWS-1252 -t UTF-8 | tr -d '\r'
else
  log "starting $tool"
  "$WINE" "$tool"
fi

#!/usr/bin/env bash
# Installs what is missing, builds, lays out the sample installation in a private
# Wine prefix and starts the tool on it. Without a display it runs under Xvfb,
# saves a screenshot of the main window and prints the report through /report.
source "$(dirname "$0")/scripts/common.sh"
trap vtx_cleanup EXIT
vtx_install
VTX_SKIP_WIN32=1 vtx_build
vtx_display
vtx_prefix
vtx_sample
tool="$VTX_SAMPLE_INSTALL\\Tools\\VTXDiagnostic.exe"
if [ "${VTX_HEADLESS:-0}" = 1 ]; then
  shot="$VTX_WIN/screenshots/run-main.png"
  mkdir -p "$(dirname "$shot")"
  log "no display: starting the tool under Xvfb"
  "$WINE" "$VTX_WIN/bin/vtxdrive.exe" shot "$tool" "$(winepath -w "${shot%.png}.bmp" 2>/dev/null)"
  convert "${shot%.png}.bmp" "$shot" && rm -f "${shot%.png}.bmp"
  echo "screenshot of the main window: $shot"
  # The same report as the window shows, through the command line. On a pipe the
  # tool writes the ANSI code page (Wine's is 1252 under this UTF-8 locale).
  log "the report: VTXDiagnostic.exe /report"
  "$WINE" "$tool" /report | iconv -f WINDOWS-1252 -t UTF-8 | tr -d '\r'
else
  log "starting $tool"
  "$WINE" "$tool"
fi

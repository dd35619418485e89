#!/usr/bin/env bash
# Runs the benchmarks under Wine and writes bench/RESULTS.md: the export of a large
# tree, its memory, the counting of covers, the report build and the system
# profile with a crowded error report queue, each as a ratio
# against a baseline measured in the same run. Not part of the test command.
#   bench/run.sh
source "$(dirname "$0")/../scripts/common.sh"
trap vtx_cleanup EXIT
vtx_install
vtx_build win32 win64
vtx_display

# Each build in its own world: the product (32-bit) on 64-bit Windows, then the
# 64-bit build. One table per build.
tables=$(mktemp)
worlds=(wow64 win64)
if ! vtx_runs_32bit; then
  worlds=(win64)
  printf '%s\n\n' "The product (32-bit) was not measured: $VTX_NO_32BIT_TEXT." >>"$tables"
fi
for world in "${worlds[@]}"; do
  vtx_world "$world"
  log "build: benchmarks ($(basename "$VTX_TREE"))"
  cmake --build "$VTX_TREE" --target vtx_benchmarks -j"$(nproc)"
  vtx_prefix
  vtx_sample
  table=$(mktemp)
  # The folder of 50,000 covers is filled from Linux: under Wine every new file in a
  # large folder costs a search of the whole folder.
  covers="$WINEPREFIX/drive_c/vtxbench-cover"
  rm -rf "$covers" && mkdir -p "$covers"
  (cd "$covers" && seq 0 49999 | sed 's/.*/Album &.jpg/' | xargs -d '\n' touch)
  # The export's trees lie on a drive in memory (R:): on this machine's disk, how
  # fast a file is created depends on how many files were deleted in the seconds
  # before, which swung the ratios by a third from run to run.
  memory=$(mktemp -d /dev/shm/vtxbench.XXXXXX)
  ln -sfn "$memory" "$WINEPREFIX/dosdevices/r:"
  log "benchmark ($world): export and counting"
  "$WINE" "$VTX_TREE/bin/export_bench_win.exe" 'C:\vtxbench-cover' 'R:\' | tr -d '\r' | tee -a "$table"
  rm -rf "$covers" "$memory" "$WINEPREFIX/dosdevices/r:"
  log "benchmark ($world): report"
  "$WINE" "$VTX_TREE/bin/report_bench_win.exe" "$VTX_SAMPLE_INSTALL" | tr -d '\r' | tee -a "$table"
  # 3,000 report folders of other programs, made beside the machine's ReportQueue
  # (the benchmark moves them into place): a Report.wer of 6 KB in UTF-16 each.
  wer="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/WER"
  mkdir -p "$wer" && rm -rf "$wer/ReportQueue.vtxbench"
  python3 "$VTX_ROOT/bench/make_foreign_reports.py" "$wer/ReportQueue.vtxbench" 3000
  log "benchmark ($world): system profile with a crowded report queue"
  "$WINE" "$VTX_TREE/bin/profile_bench_win.exe" "$VTX_SAMPLE_INSTALL" | tr -d '\r' | tee -a "$table"
  rm -rf "$wer/ReportQueue.vtxbench"
  vtx_stop_prefix
  {
    case $world in
      wow64) echo "## The product: 32-bit build, 64-bit Wine prefix (WoW64)" ;;
      win64) echo "## The 64-bit build, 64-bit Wine prefix" ;;
    esac
    echo
    echo "| measurement | measured | baseline (same run) | ratio | target | |"
    echo "| --- | --- | --- | --- | --- | --- |"
    cat "$table"
    echo
  } >>"$tables"
  rm -f "$table"
done

results="$VTX_ROOT/bench/RESULTS.md"
{
  echo "# Benchmark results"
  echo
  echo "Written by \`bench/run.sh\` (run it from the repository's root; it builds first)."
  echo
  echo "- date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "- machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores, $(free -g | awk '/^Mem:/ {print $2}') GiB memory"
  echo "- Wine: $(/usr/lib/wine/wine64 --version 2>/dev/null), Linux $(uname -r)"
  echo "- command: \`bench/run.sh\`"
  echo
  cat "$tables"
  if [ -f "$VTX_ROOT/bench/NOTES.md" ]; then echo; cat "$VTX_ROOT/bench/NOTES.md"; fi
} >"$results"
rm -f "$tables"
echo "written: $results"

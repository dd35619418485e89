# Shared steps of run.sh and test.sh: install what is missing, build, make the
# private Wine prefix, provide a display. Sourced, not run.
set -euo pipefail

VTX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VTX_BUILD="$VTX_ROOT/build"
VTX_WIN="$VTX_BUILD/win64"
export WINEPREFIX="$VTX_WIN/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# Sound goes to a null device: MCI really plays (the samples go nowhere), also
# where the machine has no sound card.
export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$VTX_ROOT/cmake/alsa-null.conf"
# Compiler cache where present: rebuilds of unchanged sources (other build trees of
# the same sources among them) come from the cache.
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$VTX_ROOT" CCACHE_NOHASHDIR=1
fi
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

VTX_PACKAGES=(cmake make g++ googletest g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools ccache
  wine wine64 xvfb xauth x11-utils imagemagick fonts-wine gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  libz-mingw-w64-dev zlib1g-dev python3 unzip)

log() { printf '\n== %s\n' "$*"; }

vtx_install() {
  local missing=()
  for p in "${VTX_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then return 0; fi
  log "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

vtx_build() {
  local jobs
  jobs=$(nproc)
  log "build: native (portable code, sanitizers)"
  cmake -S "$VTX_ROOT" -B "$VTX_BUILD/native" >/dev/null
  cmake --build "$VTX_BUILD/native" -j"$jobs"
  log "build: Windows 64-bit"
  cmake -S "$VTX_ROOT" -B "$VTX_WIN" -DCMAKE_TOOLCHAIN_FILE="$VTX_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$VTX_WIN" -j"$jobs"
  if [ "${VTX_SKIP_WIN32:-}" != 1 ]; then
    log "build: Windows 32-bit (compile only)"
    cmake -S "$VTX_ROOT" -B "$VTX_BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$VTX_ROOT/cmake/mingw-w64-i686.cmake" >/dev/null
    cmake --build "$VTX_BUILD/win32" -j"$jobs"
  fi
}

# A display for Wine: the caller's, or a private Xvfb when there is none.
vtx_display() {
  if [ -n "${DISPLAY:-}" ] && [ "${CI:-}" != true ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n=77
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  VTX_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  VTX_HEADLESS=1
}

# The private prefix: made once per build folder; a virtual desktop of 800x600
# (framed windows, fast dialogs) and Wine's own fonts.
vtx_prefix() {
  if [ ! -f "$WINEPREFIX/.vtx-ready" ]; then
    log "Wine prefix: $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
    "$WINESERVER" -w
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$WINEPREFIX/.vtx-ready"
  fi
  "$WINESERVER" -p
}

vtx_cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  if [ -n "${VTX_XVFB_PID:-}" ]; then kill "$VTX_XVFB_PID" 2>/dev/null || true; fi
}

# The sample installation: C:\Program Files (x86)\Velatrix-Tunes 6 and the data
# folder %APPDATA%\Velatrix-Tunes 6, made by code from the built programs.
VTX_SAMPLE_INSTALL='C:\Program Files (x86)\Velatrix-Tunes 6'
vtx_sample() {
  log "sample installation: $VTX_SAMPLE_INSTALL"
  "$WINE" "$VTX_WIN/bin/mksample.exe" "$VTX_SAMPLE_INSTALL"
}

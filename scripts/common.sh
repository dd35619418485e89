# Shared steps of run.sh and test.sh: install what is missing, build, make the
# private Wine prefix, provide a display. Sourced, not run.
set -euo pipefail

VTX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VTX_BUILD="$VTX_ROOT/build"
VTX_WIN="$VTX_BUILD/win64"      # the 64-bit build: tested, not handed out
VTX_PRODUCT="$VTX_BUILD/win32"  # the 32-bit build: the handed-out program
VTX_DIST="$VTX_BUILD/dist"      # where that program lies after the build
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
WINESERVER=/usr/lib/wine/wineserver

VTX_PACKAGES=(cmake make g++ googletest g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools ccache
  libz-mingw-w64-dev zlib1g-dev wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick fonts-wine
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good python3 unzip
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 qemu-user-static)
# Without these the 32-bit program cannot be tested, and it is never handed out
# untested: the 32-bit Wine, the 32-bit GStreamer plugins it plays MP3 and MIDI
# with, and the i386 emulator for machines that run no 32-bit programs.
VTX_I386_PACKAGES="wine32:i386 gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 (with the i386 architecture added to dpkg) and qemu-user-static"

# Whether this machine runs 32-bit programs at all. Some hypervisors give the
# 64-bit kernel no 32-bit mode: the 32-bit Wine loader then cannot even start
# ("Exec format error"), and the product's worlds cannot be entered here.
vtx_runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
VTX_NO_32BIT_TEXT="this machine cannot run 32-bit programs: the 32-bit Wine loader (/usr/lib/wine/wine, from wine32:i386) is installed but the kernel refuses to start it (Exec format error)"

# The Windows worlds the tests run in, each a build tree, a Wine prefix of its own,
# the prefix's kind and the loader of the build's bitness:
#   wow64  the product (32-bit) on 64-bit Windows: SysWOW64, the 32-bit registry view
#   win32  the product on 32-bit Windows (a WINEARCH=win32 prefix)
#   win64  the 64-bit build on 64-bit Windows
# The sample installation lies where the jukebox installs itself in that world.
vtx_world() {
  case $1 in
    wow64) VTX_TREE=$VTX_PRODUCT WINEPREFIX=$VTX_PRODUCT/wineprefix WINEARCH=win64 WINE=/usr/lib/wine/wine
      VTX_SAMPLE_INSTALL='C:\Program Files (x86)\Velatrix-Tunes 6' ;;
    win32) VTX_TREE=$VTX_PRODUCT WINEPREFIX=$VTX_PRODUCT/wineprefix32 WINEARCH=win32 WINE=/usr/lib/wine/wine
      VTX_SAMPLE_INSTALL='C:\Program Files\Velatrix-Tunes 6' ;;
    win64) VTX_TREE=$VTX_WIN WINEPREFIX=$VTX_WIN/wineprefix WINEARCH=win64 WINE=/usr/lib/wine/wine64
      VTX_SAMPLE_INSTALL='C:\Program Files (x86)\Velatrix-Tunes 6' ;;
    *) echo "unknown Windows world: $1" >&2; return 1 ;;
  esac
  # The build's wine-run.sh (ctest's runner) reads the prefix from these.
  export WINEPREFIX WINEARCH VTX_WINEPREFIX=$WINEPREFIX VTX_WINEARCH=$WINEARCH
}

log() { printf '\n== %s\n' "$*"; }

vtx_install() {
  local sudo="" missing=()
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  # The 32-bit Wine comes from the i386 architecture; the package lists must know it.
  local fresh_arch=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture (32-bit Wine)"
    $sudo dpkg --add-architecture i386
    fresh_arch=1
  fi
  for p in "${VTX_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ] && [ $fresh_arch -eq 0 ]; then return 0; fi
  if [ ${#missing[@]} -gt 0 ]; then log "installing: ${missing[*]}"; fi
  $sudo apt-get update -q
  [ ${#missing[@]} -eq 0 ] && return 0
  if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    echo "error: the packages could not all be installed; the 32-bit program needs $VTX_I386_PACKAGES." >&2
    echo "error: the 32-bit program is what we hand out; it is never handed out untested." >&2
    return 1
  fi
}

# Builds the trees named (default: all): native (portable code and its tests, with
# sanitizers), win64 (the 64-bit build) and win32 (the product; it leaves the
# stripped exe in build/dist).
vtx_build() {
  local jobs tree trees=("$@")
  jobs=$(nproc)
  [ $# -gt 0 ] || trees=(native win64 win32)
  for tree in "${trees[@]}"; do
    case $tree in
      native) log "build: native (portable code, sanitizers)"
        cmake -S "$VTX_ROOT" -B "$VTX_BUILD/native" >/dev/null ;;
      win64) log "build: Windows 64-bit (tested, not handed out)"
        cmake -S "$VTX_ROOT" -B "$VTX_WIN" -DCMAKE_TOOLCHAIN_FILE="$VTX_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null ;;
      win32) log "build: Windows 32-bit (the product: $VTX_DIST/VTXDiagnostic.exe)"
        cmake -S "$VTX_ROOT" -B "$VTX_PRODUCT" -DCMAKE_TOOLCHAIN_FILE="$VTX_ROOT/cmake/mingw-w64-i686.cmake" \
          -DVTX_DIST_DIR="$VTX_DIST" >/dev/null ;;
    esac
    cmake --build "$VTX_BUILD/$tree" -j"$jobs"
  done
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

# The world's private prefix: made once; a virtual desktop of 800x600 (framed
# windows, fast dialogs) and Wine's own fonts. A 64-bit prefix made before the
# 32-bit Wine was there lacks SysWOW64 and is made again.
vtx_prefix() {
  if [ -f "$WINEPREFIX/.vtx-ready" ] && [ "$WINEARCH" = win64 ] && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    rm -f "$WINEPREFIX/.vtx-ready"
  fi
  if [ ! -f "$WINEPREFIX/.vtx-ready" ]; then
    log "Wine prefix ($WINEARCH): $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    # The loader of the prefix's own kind: a 64-bit prefix is made by the 64-bit
    # Wine, which sets up its 32-bit half itself.
    local boot=$WINE
    [ "$WINEARCH" != win64 ] || boot=/usr/lib/wine/wine64
    "$boot" wineboot -i >/dev/null 2>&1 || true
    "$boot" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$boot" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
    "$WINESERVER" -w
    touch "$WINEPREFIX/.vtx-ready"
  fi
  vtx_prefix_fonts
  # A server still running in the prefix (an earlier run's) serves as well.
  "$WINESERVER" -p 2>/dev/null || true
}

# Wine's own fonts, with "MS Sans Serif" as the bitmap font Windows has (Wine's
# TrueType stand-in for it is wider and clips the buttons' captions).
vtx_prefix_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  [ -f "$fonts/.vtx-fonts" ] && return 0
  for f in /usr/share/wine/fonts/*.ttf; do
    [ "$(basename "$f")" = ms_sans_serif.ttf ] || cp "$f" "$fonts/"
  done
  rm -f "$fonts/ms_sans_serif.ttf"
  cp /usr/share/wine/fonts/sserife.fon "$fonts/"
  touch "$fonts/.vtx-fonts"
}

# Ends the world's wineserver and every program still running in its prefix.
vtx_stop_prefix() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
}

vtx_cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then vtx_stop_prefix; fi
  if [ -n "${VTX_XVFB_PID:-}" ]; then kill "$VTX_XVFB_PID" 2>/dev/null || true; fi
}

# The sample installation of the world: the install folder (where the jukebox
# installs itself there) and the data folder %APPDATA%\Velatrix-Tunes 6, made by
# code from the built programs. The tool in its Tools folder is the build's exe
# byte for byte (for the product: build/dist/VTXDiagnostic.exe).
vtx_sample() {
  log "sample installation: $VTX_SAMPLE_INSTALL"
  "$WINE" "$VTX_TREE/bin/mksample.exe" "$VTX_SAMPLE_INSTALL"
}

# Wine environment of one build. Source it, then call `wine_env x86` or `wine_env x64`: each build
# runs in a Wine prefix of its own under $BUILD, through its own loader. Debian's /usr/bin/wine
# takes the 32-bit loader whenever that file exists, even on a machine that cannot execute it,
# so the loader is always named here and every Wine tool is started through it.
wine_env_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

wine_env() {
  : "${BUILD:=build}"
  case "$BUILD" in /*) ;; *) BUILD="$wine_env_root/$BUILD" ;; esac
  export BUILD
  case "$1" in
    x86) export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine ;;
    x64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 ;;
    *) echo "wine_env: unknown build '$1' (x86 or x64)" >&2; return 1 ;;
  esac
  export WINEPREFIX="$BUILD/wine-$1"
  # The 64-bit server serves both kinds of prefix.
  if [ -x /usr/lib/wine/wineserver64 ]; then
    export WINESERVER=/usr/lib/wine/wineserver64
  else
    export WINESERVER=/usr/lib/wine/wineserver32
  fi
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

# The folder where a build's programs and their help file go.
bin_dir() {
  case "$1" in
    x86) echo "$BUILD/bin" ;;
    x64) echo "$BUILD/bin/x64" ;;
  esac
}

# The CMake build tree of a build.
win_dir() {
  case "$1" in
    x86) echo "$BUILD/win" ;;
    x64) echo "$BUILD/win64" ;;
  esac
}

# Sets RUN_ARCHS (the builds this machine runs, shipped one first) and RUN_WHY, from ARCH when
# given (x86 or x64) and otherwise from what the machine executes. Fails with a message when
# ARCH asks for a build that cannot run here.
choose_archs() {
  local ia32=0
  "$wine_env_root/scripts/probe-ia32" && ia32=1
  case "${ARCH:-}" in
    "")
      if [ $ia32 = 1 ]; then
        RUN_ARCHS="x86 x64"
        RUN_WHY="this machine executes 32-bit x86 code"
      else
        RUN_ARCHS="x64"
        RUN_WHY="this machine cannot execute 32-bit x86 code"
      fi ;;
    x64) RUN_ARCHS="x64"; RUN_WHY="ARCH=x64" ;;
    x86)
      if [ $ia32 = 0 ]; then
        echo "ARCH=x86: this machine cannot execute 32-bit x86 code (its kernel's IA-32" \
             "emulation is off), so the 32-bit build cannot run here; use ARCH=x64." >&2
        return 1
      fi
      RUN_ARCHS="x86"; RUN_WHY="ARCH=x86" ;;
    *) echo "ARCH must be x86 or x64, not '$ARCH'." >&2; return 1 ;;
  esac
}

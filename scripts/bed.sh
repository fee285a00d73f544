# Test bed: a Wine prefix per build in the build tree, a persistent wineserver for each and, when
# there is no display (or under CI), a private Xvfb. Source it, then call `bed_up "<builds>"
# [geometry]`; bed_down (also run from the EXIT trap) stops everything this shell started, so no
# process outlives the run.
# Usage: BUILD=build; source scripts/bed.sh; bed_up x64; ...; bed_down

source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
: "${BUILD:=build}"
case "$BUILD" in /*) ;; *) BUILD="$wine_env_root/$BUILD" ;; esac
export BUILD
bed_xvfb_pid=""
bed_started_xvfb=0
bed_archs=""

# Prepares one build's prefix (created once) and starts its server and Wine's services.
bed_wine_up() (
  wine_env "$1" || exit 1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "bed: creating the $1 Wine prefix in $WINEPREFIX (once)"
    "$WINELOADER" wineboot.exe -i >/dev/null 2>&1 || true
    "$WINESERVER" -w
  fi
  if [ ! -f "$WINEPREFIX/.bed-settings-1" ]; then
    # No window manager runs on the virtual display: with managed windows Wine waits two seconds
    # for one at every hide or destroy.
    "$WINELOADER" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
      >/dev/null 2>&1
    "$WINESERVER" -w
    touch "$WINEPREFIX/.bed-settings-1"
  fi
  "$WINESERVER" -p
  # The first Wine program of a session starts Wine's services, which live as long as the
  # wineserver. Start them here, detached from any output pipe: had a test started them, they
  # would hold that test's pipe open and ctest would wait for it forever.
  "$WINELOADER" cmd.exe /c exit </dev/null >/dev/null 2>&1
)

bed_wine_down() (
  wine_env "$1" || exit 0
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
)

bed_up() {
  local archs=$1 geometry=${2:-1280x1024x24}
  if [ -z "${DISPLAY:-}" ] || [ -n "${CI:-}" ] || [ -n "${BED_FORCE_XVFB:-}" ]; then
    local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -ac 3>"$fifo" >/dev/null 2>&1 &
    bed_xvfb_pid=$!
    local num; read -r -t 20 num <"$fifo"; rm -f "$fifo"
    [ -n "$num" ] || { echo "bed: Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$num"
    bed_started_xvfb=1
  fi
  trap bed_down EXIT
  mkdir -p "$BUILD"
  local arch
  for arch in $archs; do
    bed_archs="$bed_archs $arch"
    bed_wine_up "$arch" || return 1
  done
}

bed_down() {
  local arch
  for arch in $bed_archs; do bed_wine_down "$arch"; done
  bed_archs=""
  if [ "$bed_started_xvfb" = 1 ] && [ -n "$bed_xvfb_pid" ]; then
    kill "$bed_xvfb_pid" 2>/dev/null || true
    wait "$bed_xvfb_pid" 2>/dev/null || true
    bed_started_xvfb=0
  fi
}

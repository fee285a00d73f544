# Test bed: a Wine prefix in the build tree, a persistent wineserver and, when there is no
# display (or under CI), a private Xvfb. Source it, then call bed_up; bed_down (also run from
# the EXIT trap) stops everything this shell started, so no process outlives the run.
# Usage: BUILD=build; source scripts/bed.sh; bed_up; ...; bed_down

bed_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${BUILD:=build}"
case "$BUILD" in /*) ;; *) BUILD="$bed_root/$BUILD" ;; esac
export WINEPREFIX="$BUILD/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
bed_xvfb_pid=""
bed_started_xvfb=0

bed_up() {
  local geometry=${1:-1280x1024x24}
  if [ -z "${DISPLAY:-}" ] || [ -n "${CI:-}" ] || [ -n "${BED_FORCE_XVFB:-}" ]; then
    local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -ac 3>"$fifo" >/dev/null 2>&1 &
    bed_xvfb_pid=$!
    local num; read -r -t 20 num <"$fifo"; rm -f "$fifo"
    [ -n "$num" ] || { echo "bed: Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$num"
    bed_started_xvfb=1
  fi
  mkdir -p "$BUILD"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "bed: creating the Wine prefix in $WINEPREFIX (once)"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  if [ ! -f "$WINEPREFIX/.bed-settings-1" ]; then
    # No window manager runs on the virtual display: with managed windows Wine waits two seconds
    # for one at every hide or destroy.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.bed-settings-1"
  fi
  wineserver -p
  # The first Wine program of a session starts Wine's services, which live as long as the
  # wineserver. Start them here, detached from any output pipe: had a test started them, they
  # would hold that test's pipe open and ctest would wait for it forever.
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1
  trap bed_down EXIT
}

bed_down() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ "$bed_started_xvfb" = 1 ] && [ -n "$bed_xvfb_pid" ]; then
    kill "$bed_xvfb_pid" 2>/dev/null || true
    wait "$bed_xvfb_pid" 2>/dev/null || true
    bed_started_xvfb=0
  fi
}

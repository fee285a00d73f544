#!/usr/bin/env bash
# Installs the Debian packages the build and the test bed need. Idempotent: when everything is
# present it only runs dpkg queries and returns in well under a second.
set -euo pipefail

need=(cmake make g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools googletest xvfb
      xdotool x11-utils imagemagick ghostscript fonts-wine fp-utils clang-format xauth python3 nsis
      trayer)
# The 64-bit Wine always; the 32-bit one only where this machine executes 32-bit code (where it
# does not, wine32 cannot start, and Debian's wine script would still pick it).
wine_pkgs=(wine wine64)
ia32=0
"$(dirname "$0")/probe-ia32" && ia32=1 && wine_pkgs+=(wine32:i386)

missing=()
for p in "${need[@]}" "${wine_pkgs[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ $ia32 = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

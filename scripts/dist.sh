#!/usr/bin/env bash
# Builds the release from the two builds already in $BUILD/bin (make dist builds them first):
#   $BUILD/dist/snipquill-<FileVersion>-setup.exe     setup program and uninstaller (makensis)
#   $BUILD/dist/snipquill-<FileVersion>-portable.zip  both programs, their help files, a readme
# Options: --out DIR writes there instead; --amd64-setup FILE also writes a 64-bit setup program
# (same script, 64-bit stub) for the tests on machines that cannot execute 32-bit code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
: "${BUILD:=build}"
case "$BUILD" in /*) ;; *) BUILD="$root/$BUILD" ;; esac
out="$BUILD/dist"
amd64_setup=""
while [ $# -gt 0 ]; do
  case "$1" in
    --out) out=$2; shift 2 ;;
    --amd64-setup) amd64_setup=$2; shift 2 ;;
    *) echo "dist: unknown option '$1'" >&2; exit 2 ;;
  esac
done

# The version block of the program is the one source of the version.
version=$(sed -n 's/^#define SNIPQUILL_VERSION_TEXT "\([0-9.]*\)"$/\1/p' "$root/src/res/snipquill.rc")
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] ||
  { echo "dist: no FileVersion in src/res/snipquill.rc" >&2; exit 1; }
bin_x86="$BUILD/bin"
bin_x64="$BUILD/bin/x64"
for f in "$bin_x86/snipquill.exe" "$bin_x86/snipquill.chm" "$bin_x64/snipquill.exe" \
         "$bin_x64/snipquill.chm"; do
  [ -f "$f" ] || { echo "dist: $f is missing (make app-x86 app-x64 builds it)" >&2; exit 1; }
done
command -v makensis >/dev/null || { echo "dist: makensis is missing (make setup)" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)

setup() {  # <output file> [extra makensis options]
  local file=$1; shift
  local log; log=$(mktemp)
  # makensis writes the file in place; a failed run must not leave a half-written setup behind.
  if ! makensis -V2 -DVERSION="$version" -DBIN_X86="$bin_x86" -DBIN_X64="$bin_x64" \
       -DOUTFILE="$file.part" "$@" "$root/dist/snipquill.nsi" >"$log" 2>&1; then
    cat "$log" >&2; rm -f "$log" "$file.part"; exit 1
  fi
  rm -f "$log"
  mv -f "$file.part" "$file"
}

setup "$out/snipquill-$version-setup.exe"
[ -n "$amd64_setup" ] && setup "$amd64_setup" -DSTUB_AMD64

# The portable archive: each program with the help file beside it, so it finds its help in its
# own folder; the readme with Windows line ends.
python3 - "$out/snipquill-$version-portable.zip" "$version" "$bin_x86" "$bin_x64" \
  "$root/dist/readme.txt" <<'PY'
import os, sys, zipfile
target, version, bin_x86, bin_x64, readme = sys.argv[1:]
entries = [("snipquill.exe", os.path.join(bin_x86, "snipquill.exe")),
           ("snipquill.chm", os.path.join(bin_x86, "snipquill.chm")),
           ("x64/snipquill.exe", os.path.join(bin_x64, "snipquill.exe")),
           ("x64/snipquill.chm", os.path.join(bin_x64, "snipquill.chm"))]
text = open(readme, encoding="utf-8").read().replace("@VERSION@", version)
part = target + ".part"
with zipfile.ZipFile(part, "w", zipfile.ZIP_DEFLATED) as z:
    for name, path in entries:
        z.write(path, name)
    z.writestr(zipfile.ZipInfo("readme.txt", date_time=z.getinfo("snipquill.exe").date_time),
               text.replace("\n", "\r\n"), compress_type=zipfile.ZIP_DEFLATED)
os.replace(part, target)
PY
echo "dist: $out/snipquill-$version-setup.exe"
echo "dist: $out/snipquill-$version-portable.zip"

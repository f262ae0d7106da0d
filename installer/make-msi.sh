#!/bin/bash
# Builds the program's Windows Installer package from installer/VXTailcast.wxs with wixl.
#   installer/make-msi.sh x86|x64 VERSION PROGRAM_EXE SKIN_FOLDER ICON_FILE OUTPUT_MSI
# The skin folder goes in whole, recursively. wixl looks sources up relative to the folder it
# runs in, so they are linked into a staging folder first.
set -euo pipefail
if [[ $# -ne 6 ]]; then
  echo "usage: make-msi.sh x86|x64 VERSION PROGRAM_EXE SKIN_FOLDER ICON_FILE OUTPUT_MSI" >&2
  exit 2
fi
arch=$1 version=$2 program=$3 skin=$4 icon=$5 output=$(realpath -m "$6")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
case "$arch" in
  x86) win64=no heat_arch=() ;;
  x64) win64=yes heat_arch=(--win64) ;;
  *) echo "make-msi: unknown architecture '$arch'" >&2; exit 2 ;;
esac
[[ $version =~ ^[0-9]+(\.[0-9]+){2,3}$ ]] || { echo "make-msi: bad version '$version'" >&2; exit 2; }
for source in "$program" "$skin" "$icon"; do
  [[ -e $source ]] || { echo "make-msi: missing $source" >&2; exit 1; }
done

stage=$(mktemp -d "${TMPDIR:-/tmp}/vx-msi.XXXXXX")
trap 'rm -rf "$stage"' EXIT
ln -s "$(realpath "$program")" "$stage/VXTailcast.exe"
ln -s "$(realpath "$icon")" "$stage/VXTailcast.ico"
ln -s "$(realpath "$skin")" "$stage/tcskin"

cd "$stage"
find -L tcskin/ -type f | LC_ALL=C sort |
  wixl-heat --prefix tcskin/ --component-group SkinFiles --var var.SkinFolder --directory-ref SKINFOLDER \
    "${heat_arch[@]}" >skin.wxs
wixl --arch "$arch" -D Version="$version" -D Win64="$win64" -D ProgramFile=VXTailcast.exe \
  -D IconFile=VXTailcast.ico -D SkinFolder=tcskin -o package.msi "$here/VXTailcast.wxs" skin.wxs
msibuild package.msi -q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \
\`InstallMode\`) VALUES ('StartupTrace', 'Program', 'TailcastLog.txt', 'INSTALLFOLDER', 2)"

mkdir -p "$(dirname "$output")"
mv package.msi "$output.part"
mv "$output.part" "$output"

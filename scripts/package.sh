#!/usr/bin/env bash
# Builds Lumora's release packages into dist/:
#   Lumora-<version>-x64.zip, Lumora-<version>-x86.zip   portable: unpack, run
#   Lumora-<version>-x64.msi, Lumora-<version>-x86.msi   per-user installers
# from the two Windows trees (build/windows, build/windows-x86; both are
# release builds), with lumora.exe stripped. The version is the file VERSION.
#
#   scripts/package.sh [--no-build] [--msi-only] [--version V] [--out DIR]
#                      [--arch x64|x86]
#
# --no-build takes the trees as they are. --version, --out, --arch and
# --msi-only make one installer of another version number from the same
# program, which the installation tests use to try an upgrade; releases use
# none of them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=1 msi_only=0 out=$root/dist arches="x64 x86"
version=$(tr -d ' \r\n' < VERSION)
while [ $# -gt 0 ]; do
  case $1 in
    --no-build) build=0 ;;
    --msi-only) msi_only=1 ;;
    --version) version=$2; shift ;;
    --out) out=$2; shift ;;
    --arch) arches=$2; shift ;;
    *) echo "usage: scripts/package.sh [--no-build] [--msi-only] [--version V] [--out DIR] [--arch x64|x86]" >&2
       exit 2 ;;
  esac
  shift
done
[[ $version =~ ^[0-9]+\.[0-9]+(\.[0-9]+)?$ ]] || { echo "package: bad version '$version'" >&2; exit 1; }
# Windows Installer compares three numbers.
msi_version=$version
[[ $version =~ ^[0-9]+\.[0-9]+$ ]] && msi_version=$version.0
command -v wixl >/dev/null || { echo "package: wixl (package wixl) is missing; run scripts/setup.sh" >&2; exit 1; }

mkdir -p "$out"
for arch in $arches; do
  case $arch in
    x64) preset=windows triple=x86_64-w64-mingw32 ;;
    x86) preset=windows-x86 triple=i686-w64-mingw32 ;;
  esac
  tree=$root/build/$preset
  if [ "$build" = 1 ]; then
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target lumora lumora-setup-check
  fi
  app=$tree/src/app
  check_dll=$tree/src/setup/lumora-setup-check.dll
  for f in "$app/lumora.exe" "$app/help.chm" "$app/art/lumora.ico" "$check_dll"; do
    [ -f "$f" ] || { echo "package: $f is missing; build $preset first" >&2; exit 1; }
  done

  # The release tree: Lumora\ as the zip holds it.
  stage=$root/build/package/$arch
  rm -rf "$stage"
  mkdir -p "$stage/Lumora/task"
  "$triple-strip" -o "$stage/Lumora/lumora.exe" "$app/lumora.exe"
  cp "$app/help.chm" "$stage/Lumora/"
  # Every settings file the build supplies, with the packages' own versions
  # of those whose build-tree values only fit the build tree (the save
  # folder of shuxing.txt).
  cp "$app"/task/* "$stage/Lumora/task/"
  cp packaging/task/* "$stage/Lumora/task/"
  sed "s/@VERSION@/$version/" packaging/README.txt > "$stage/Lumora/README.txt"
  sed 's/$/\r/' LICENSE > "$stage/Lumora/LICENSE.txt"

  if [ "$msi_only" = 0 ]; then
    rm -f "$out/Lumora-$version-$arch.zip"
    (cd "$stage" && python3 - "$out/Lumora-$version-$arch.zip" <<'PY'
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for folder, dirs, files in os.walk("Lumora"):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            info = zipfile.ZipInfo(path, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            with open(path, "rb") as f:
                z.writestr(info, f.read())
PY
    )
  fi

  # The installer's files: the program and help as above, the supplied
  # settings as defaults the program copies into place.
  msi=$stage/msi
  mkdir -p "$msi/task"
  cp "$stage/Lumora"/{lumora.exe,help.chm,README.txt,LICENSE.txt} "$app/art/lumora.ico" "$msi/"
  "$triple-strip" -o "$msi/lumora-setup-check.dll" "$check_dll"
  cp "$stage/Lumora/task"/* "$msi/task/"
  {
    echo '<?xml version="1.0" encoding="utf-8"?>'
    echo '<!-- Written by scripts/package.sh: the supplied settings files. -->'
    echo '<Include>'
    for f in "$msi/task"/*; do
      name=$(basename "$f")
      id=task_$(printf '%s' "$name" | tr -c 'A-Za-z0-9_.' '_')
      echo "  <File Id=\"$id\" Name=\"$name\" Source=\"task/$name\"/>"
    done
    echo '</Include>'
  } > "$msi/task-files.wxi"
  # wixl looks for the files in the folder it runs in.
  (cd "$msi" && wixl -a "$arch" -D Version="$msi_version" -I "$msi" \
       -o "$out/Lumora-$version-$arch.msi" "$root/packaging/lumora.wxs")
  # wixl's upgrade row stops short of its own version: a package of the
  # same version made again (each gets a new product code) would install
  # beside the first. The row is made to take that version in.
  # (Attributes 513: migrate features, maximum version inclusive.)
  msiinfo export "$out/Lumora-$version-$arch.msi" Upgrade |
    sed 's/\t1\t\tWIX_UPGRADE_DETECTED/\t513\t\tWIX_UPGRADE_DETECTED/' > "$msi/Upgrade.idt"
  grep -q $'\t513\t' "$msi/Upgrade.idt" || { echo "package: wixl's Upgrade table is not as expected" >&2; exit 1; }
  msibuild "$out/Lumora-$version-$arch.msi" -i "$msi/Upgrade.idt"
  # wixl writes no Condition table: the row that installs the start at
  # sign-in (feature StartAtSignIn, level 2, left out by default) when the
  # install is given STARTATSIGNIN=1, or is not given it and finds the Run
  # value of an earlier install (see lumora.wxs).
  at_sign_in='STARTATSIGNIN = "1" OR (NOT STARTATSIGNIN AND LUMORAATSIGNIN)'
  printf '%s\t%s\t%s\r\n' Feature_ Level Condition s38 i2 S255 Condition Feature_ Level \
         StartAtSignIn 1 "$at_sign_in" > "$msi/Condition.idt"
  msibuild "$out/Lumora-$version-$arch.msi" -i "$msi/Condition.idt"
done
ls -l "$out"/Lumora-"$version"-* | awk '{print "package: " $NF " " $5 " bytes"}'

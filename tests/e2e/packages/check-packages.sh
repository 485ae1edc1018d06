#!/usr/bin/env bash
# The downloads, checked without running them: the portable zip holds exactly the program
# folder (with the shipped first-run Lexorin.ini), its programs and the installer are
# Windows programs for the build's processor with the right subsystem, and SHA256SUMS
# matches both files. This is all that can be said of the 32-bit packages on a machine
# that cannot run 32-bit programs; where they run, packages_test installs them too.
# Usage: check-packages.sh PACKAGE_DIR ZIP SETUP_EXE DIST PRISTINE_INI i386|x86-64
set -u
if [ $# -ne 6 ] || [ -z "$1" ] || [ -z "$2" ] || [ -z "$3" ]; then
  echo "usage: check-packages.sh PACKAGE_DIR ZIP SETUP_EXE DIST PRISTINE_INI i386|x86-64 (got: $*)" >&2
  exit 2
fi
dir=$1 zip=$2 setup=$3 dist=$4 pristine=$5 machine=$6
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# Little-endian unsigned integer of $3 bytes at offset $2 of file $1.
le() { od -An -tu"$3" -j "$2" -N "$3" --endian=little "$1" | tr -d ' '; }

# check_pe FILE SUBSYSTEM: FILE is a PE image for $machine with that subsystem (2 GUI, 3 console).
check_pe() {
  local f=$1 want_sub=$2 pe want_machine want_magic
  case $machine in
    i386) want_machine=332 want_magic=267 ;;    # IMAGE_FILE_MACHINE_I386, PE32
    x86-64) want_machine=34404 want_magic=523 ;; # IMAGE_FILE_MACHINE_AMD64, PE32+
  esac
  [ "$(head -c 2 "$f")" = MZ ] || { fail "$(basename "$f") is not a Windows program"; return; }
  pe=$(le "$f" 60 4)
  [ "$(dd if="$f" bs=1 skip="$pe" count=4 2>/dev/null | od -An -c | tr -d ' ')" = 'PE\0\0' ] ||
    { fail "$(basename "$f") has no PE header"; return; }
  [ "$(le "$f" $((pe + 4)) 2)" = "$want_machine" ] || fail "$(basename "$f") is not built for $machine"
  [ "$(le "$f" $((pe + 24)) 2)" = "$want_magic" ] || fail "$(basename "$f") has the wrong optional header for $machine"
  [ "$(le "$f" $((pe + 24 + 68)) 2)" = "$want_sub" ] || fail "$(basename "$f") has subsystem $(le "$f" $((pe + 92)) 2), not $want_sub"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The zip's files against the program folder: the same names under Lexorin/, the same
# bytes, except Lexorin.ini, which is the shipped one and not a developer's.
unzip -Z1 "$zip" | grep -v '/$' | sort >"$work/zip.txt" || fail "cannot list $zip"
(cd "$dist" && find . -type f ! -name '*.tmp~' | sed 's|^\./|Lexorin/|' | sort) >"$work/dist.txt"
if ! diff -u "$work/dist.txt" "$work/zip.txt" >"$work/diff.txt"; then
  fail "the zip's files differ from the program folder $dist:"
  cat "$work/diff.txt"
fi
unzip -q "$zip" -d "$work/unpacked" || fail "cannot unpack $zip"
while read -r name; do
  [ -f "$work/unpacked/$name" ] || continue
  if [ "$name" = Lexorin/Lexorin.ini ]; then
    cmp -s "$work/unpacked/$name" "$pristine" || fail "the zip's Lexorin.ini is not the shipped first-run file"
  else
    cmp -s "$work/unpacked/$name" "$dist/${name#Lexorin/}" || fail "$name in the zip differs from the program folder"
  fi
done <"$work/zip.txt"

check_pe "$work/unpacked/Lexorin/Lexorin.exe" 2
check_pe "$work/unpacked/Lexorin/kmtool.exe" 3
# The uninstaller is written at install time from the installer's own stub.
check_pe "$setup" 2

(cd "$dir" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the packages in $dir"
[ "$(wc -l <"$dir/SHA256SUMS")" = 2 ] || fail "SHA256SUMS should name the zip and the installer"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "packages checked: $(wc -l <"$work/zip.txt") files in the zip, $machine programs, sums match"

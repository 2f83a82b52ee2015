#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs: both programs in one folder and
# linked into bin/, valid desktop entries that start them, the editor's entry without a file argument or
# file types (one argument is tile mode, which rewrites the file on close), and every icon size.
# Usage: tests/install_tests.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

cmake --install "$build" --prefix "$prefix/usr local" >/dev/null
root="$prefix/usr local"
for program in tlwkproj pxwkproj; do
  [ -x "$root/libexec/tessaly/$program" ] || fail "$program is not in the program folder"
  [ "$(readlink -f "$root/bin/$program")" = "$(readlink -f "$root/libexec/tessaly/$program")" ] ||
    fail "bin/$program does not lead to the program folder"
  entry="$root/share/applications/$program.desktop"
  desktop-file-validate "$entry" || fail "$entry is not a valid desktop entry"
  grep -qx "Categories=Graphics;.*" "$entry" || fail "$entry is not under Graphics"
  grep -qx "Icon=$program" "$entry" || fail "$entry does not name the $program icon"
  # Exactly the program, quoted since the prefix has a blank: no file argument.
  exec_line=$(sed -n 's/^Exec=//p' "$entry")
  [ "$exec_line" = "\"$root/bin/$program\"" ] || fail "$entry starts $exec_line"
  for size in 16 22 24 32 48 64 128 256; do
    icon="$root/share/icons/hicolor/${size}x${size}/apps/$program.png"
    [ -f "$icon" ] || fail "no $icon"
  done
done
! grep -q '^MimeType=' "$root/share/applications/pxwkproj.desktop" ||
  fail "the editor's entry offers file types"
echo "The install lays down both programs, their entries and their icons."

#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs: both programs in one folder and
# linked into bin/, valid desktop entries that start them, the editor's entry without a file argument or
# file types (one argument is tile mode, which rewrites the file on close), and every icon size. Then runs
# the README's removal command and checks that it removed exactly what the install laid down.
# Usage: tests/install_tests.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_root=$(cd "$(dirname "$0")/.." && pwd)
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

# The removal, as the README gives it, run on the manifest of this install from a folder holding decoys
# where pieces of the paths split at the blank would lead: none of them may go.
removal=$(sed -n '/To remove everything the install laid down/,/^```$/{/^sudo /p}' "$source_root/README.md" |
  tail -n 1)
[ -n "$removal" ] || fail "the README gives no removal command"
removal=${removal#sudo }
# Run from elsewhere: the README's paths are relative to the source folder and its build folder.
removal=${removal//build-install\/install_manifest.txt/\"\$manifest\"}
removal=${removal//tools\//\"\$source_root\"/tools/}
manifest="$build/install_manifest.txt"
mapfile -t installed <"$manifest"
# What a workspace installed where its folder is writable leaves beside the programs.
touch "$root/libexec/tessaly/tempbmp.bmp"
decoys="$prefix/decoys"
mkdir -p "$decoys/local/libexec/tessaly" "$decoys/local/bin"
touch "$prefix/usr" "$decoys/local/libexec/tessaly/tlwkproj" "$decoys/local/bin/tlwkproj"
(cd "$decoys" && source_root="$source_root" manifest="$manifest" bash -c "$removal") ||
  fail "the removal failed: $removal"
for path in "${installed[@]}"; do
  [ ! -e "$path" ] && [ ! -L "$path" ] || fail "the removal left $path"
done
[ ! -e "$root/libexec/tessaly" ] || fail "the removal left the program folder"
for decoy in "$prefix/usr" "$decoys/local/libexec/tessaly/tlwkproj" "$decoys/local/bin/tlwkproj"; do
  [ -e "$decoy" ] || fail "the removal deleted $decoy, which the install never laid down"
done
echo "The README's removal takes away what the install laid down, and nothing else."

# A staged install records every path under the prefix alone, the links in bin/ too, so that the removal
# given the same DESTDIR takes them all.
stage="$prefix/stage"
DESTDIR="$stage" cmake --install "$build" --prefix "/usr local" >/dev/null
while IFS= read -r path; do
  case "$path" in "/usr local/"*) ;; *) fail "the staged install records $path" ;; esac
  [ -e "$stage$path" ] || fail "the staged install records $path, which it did not lay down"
done <"$manifest"
DESTDIR="$stage" "$source_root/tools/uninstall" "$manifest"
[ -z "$(find "$stage" \( -type f -o -type l \))" ] || fail "the staged removal left $(find "$stage" -type f -o -type l)"
echo "A staged install records its paths alike, and the removal with the same DESTDIR takes them all."

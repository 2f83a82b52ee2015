#!/usr/bin/env bash
# tools/check-layers on a small tree of its own: every include against the layer map, platform/'s own layers
# included, is reported, however it is written (from the root, or relative to the including file), and a tree
# that keeps to the map passes.
# Usage: tests/layers_tests.sh
set -euo pipefail
check=$(cd "$(dirname "$0")/.." && pwd)/tools/check-layers
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

mkdir -p "$tree"/{platform/{core,qtbase,controls,dialogs},components,workspace,editor,tests/support}
touch "$tree"/platform/core/Files.h "$tree"/platform/qtbase/QtSupport.h "$tree"/platform/controls/Form.h \
  "$tree"/platform/dialogs/QtServices.h "$tree"/components/About.h "$tree"/editor/Rotation.h \
  "$tree"/workspace/Tiles.h "$tree"/tests/support/Input.h
# Allowed: relative and root includes down the map and down platform/'s layers, beside the file, system
# headers, and Qt headers in platform/ above its core.
printf '#include "Files.h"\n#include <vector>\n' >"$tree/platform/core/Files.cpp"
printf '#include "../core/Files.h"\n#include <QWidget>\n' >"$tree/platform/qtbase/QtSupport.cpp"
printf '#include "platform/qtbase/QtSupport.h"\n#include "platform/core/Files.h"\n' >"$tree/platform/controls/Form.cpp"
printf '#include "../controls/Form.h"\n#include "QtServices.h"\n' >"$tree/platform/dialogs/QtServices.cpp"
printf '#include "../platform/core/Files.h"\n#include "About.h"\n' >"$tree/components/About.cpp"
printf '#include "components/About.h"\n#include "./Tiles.h"\n#include <string>\n' >"$tree/workspace/Tiles.cpp"
"$check" "$tree" >/dev/null || fail "a tree that keeps to the layer map is refused: $("$check" "$tree")"

# Each line: the including file, the include, the rule it breaks.
while IFS='|' read -r file include rule; do
  mkdir -p "$(dirname "$tree/$file")"
  printf '%s\n' "$include" >"$tree/$file"
  out=$("$check" "$tree") && fail "$file with $include passes"
  grep -qF "$rule:" <<<"$out" || fail "$file with $include is not reported as \"$rule\": $out"
  grep -qF "$file:1:$include" <<<"$out" || fail "the report does not name $file: $out"
  rm "$tree/$file"
done <<'CASES'
workspace/Bad.cpp|#include "../editor/Rotation.h"|workspace/ includes the editor
workspace/Bad.cpp|#include "editor/Rotation.h"|workspace/ includes the editor
workspace/Bad.cpp|#include "../workspace/../editor/./Rotation.h"|workspace/ includes the editor
editor/Bad.h|#include "../workspace/Tiles.h"|editor/ includes the workspace
components/Bad.cpp|#include "../workspace/Tiles.h"|components/ includes a program
platform/core/Bad.cpp|#include "../../components/About.h"|platform/ includes a layer above it
platform/core/Bad.cpp|#include "../../tests/support/Input.h"|shipped code includes test code
platform/core/Bad.cpp|#include "platform/qtbase/QtSupport.h"|platform/core/ includes a layer above it
platform/core/Bad.h|#include "../dialogs/QtServices.h"|platform/core/ includes a layer above it
platform/core/Bad.cpp|#include <QImage>|platform/core/ includes Qt headers
platform/qtbase/Bad.cpp|#include "platform/controls/Form.h"|platform/qtbase/ includes a layer above it
platform/qtbase/Bad.cpp|#include "../controls/../dialogs/QtServices.h"|platform/qtbase/ includes a layer above it
platform/controls/Bad.cpp|#include "../dialogs/QtServices.h"|platform/controls/ includes a layer above it
platform/system/Bad.cpp|#include "platform/core/Files.h"|platform/ has a source outside core/, qtbase/, controls/ and dialogs/
platform/Bad.cpp|#include <vector>|platform/ has a source outside core/, qtbase/, controls/ and dialogs/
editor/Bad.cpp|#include <QPainter>|only platform/ includes Qt headers
editor/Bad.cpp|#include <QtGui/QImage>|only platform/ includes Qt headers
CASES
echo "The layer check reports every include against the map and platform/'s layers, relative ones included."

#!/usr/bin/env bash
# Reads every #include under src/ and fails, naming the file and line, on
# any include against the layers of docs/ARCHITECTURE.md: a folder includes
# its own headers and those of the folders it may include below, never one
# above it; the core includes no Qt and no GUI header.
set -euo pipefail
src="${1:?usage: check-layers.sh SRC_DIR}"

# The folders each folder may include besides itself.
declare -A allowed=(
  # The core: base -> stats, report -> analysis -> document -> shell, with
  # entry and graph beside.
  [core/base]=""
  [core/stats]="core/base"
  [core/report]="core/base"
  [core/analysis]="core/base core/stats core/report"
  [core/document]="core/base core/stats core/report core/analysis"
  [core/entry]="core/base core/stats core/report"
  [core/graph]="core/base core/stats core/analysis core/document"
  [core/shell]="core/base core/document"
  # The GUI, over all of the core: common -> entry -> report, graph ->
  # output -> document -> guide, help -> app.
  [gui/common]="core"
  [gui/entry]="core gui/common"
  [gui/report]="core gui/common gui/entry"
  [gui/graph]="core gui/common gui/entry"
  [gui/output]="core gui/common gui/entry gui/graph"
  [gui/document]="core gui/common gui/entry gui/report gui/graph gui/output"
  [gui/guide]="core gui/common gui/entry gui/report gui/graph gui/output gui/document"
  [gui/help]="core gui/common gui/entry gui/report gui/graph gui/output gui/document"
  [gui/app]="core gui/common gui/entry gui/report gui/graph gui/output gui/document gui/guide gui/help"
  # The command-line tool: the core and the drawing library it links.
  [cli]="core gui/common gui/graph gui/output"
)

# Sets `layer` to the layer of a path below src/ ("gui/main.cpp" belongs to
# the app), empty for none.
layer_of() {
  local rest
  case "$1" in
    core/*/* | gui/*/*)
      rest="${1#*/}"
      layer="${1%%/*}/${rest%%/*}"
      ;;
    gui/*) layer="gui/app" ;;
    cli/*) layer="cli" ;;
    *) layer="" ;;
  esac
}

failures=0
fail() {
  echo "$1: $2" >&2
  failures=$((failures + 1))
}

while IFS= read -r -d '' file; do
  path="${file#"$src"/}"
  shown="src/$path"
  layer_of "$path"
  from="$layer"
  if [ -z "$from" ] || [ -z "${allowed[$from]+set}" ]; then
    fail "$shown" "the folder is in no layer; add it to tests/layers/check-layers.sh and docs/ARCHITECTURE.md"
    continue
  fi
  line=0
  while IFS= read -r text; do
    line=$((line + 1))
    [[ "$text" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\<\"])([^\>\"]+) ]] || continue
    target="${BASH_REMATCH[2]}"
    if [ "${BASH_REMATCH[1]}" = "<" ]; then
      if [[ "$from" == core/* && "$target" == Q* ]]; then
        fail "$shown:$line" "$from may not include Qt (<$target>): the core is the C++ standard library only"
      fi
      continue
    fi
    layer_of "$target"
    to="$layer"
    if [ -z "$to" ]; then
      fail "$shown:$line" "\"$target\" names no layer: include it as core/<folder>/, gui/<folder>/ or cli/"
      continue
    fi
    [ "$to" = "$from" ] && continue
    ok=0
    for may in ${allowed[$from]}; do
      if [ "$to" = "$may" ] || [[ "$may" == core && "$to" == core/* ]]; then
        ok=1
        break
      fi
    done
    [ "$ok" -eq 1 ] || fail "$shown:$line" "$from may not include $to (\"$target\"): it is not below $from"
  done <"$file"
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) against the layers of docs/ARCHITECTURE.md" >&2
  exit 1
fi

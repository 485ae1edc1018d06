#!/usr/bin/env bash
# Checks that each source folder includes only folders below it:
#   base <- framework, settings (the settings file) <- banner, dictionary, widgets, menuskin,
#   treesheet <- options <- dialogs <- mainbar <- app
# (resources/ holds only resource ids and may be included anywhere). Prints every include
# that points sideways or up and fails when there is one not listed as a known exception.
set -u
src=${1:-$(cd "$(dirname "$0")/../src" && pwd)}
declare -A rank=([base]=0 [framework]=1 [settings]=1 [banner]=2 [dictionary]=2 [widgets]=2 [menuskin]=2 [treesheet]=2
                 [options]=3 [dialogs]=4 [mainbar]=5 [app]=6 [resources]=-1)
# Known exceptions, "file -> header", each between spaces; none at present.
exceptions=" "
bad=0
for dir in "$src"/*/; do
  from=$(basename "$dir")
  [ -n "${rank[$from]+x}" ] || { echo "layering: unknown folder src/$from (add it to $0)"; bad=1; continue; }
  while IFS=: read -r file include; do
    to=${include%%/*}
    [ "$to" = "$from" ] && continue
    [ -n "${rank[$to]+x}" ] || continue
    [ "${rank[$to]}" -lt 0 ] && continue
    if [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
      rel=${file#"$src"/}
      if [[ "$exceptions" == *" $rel->$include "* ]]; then
        echo "layering: known exception: $rel includes $include"
      else
        echo "layering: $rel includes $include (src/$to is not below src/$from)"
        bad=1
      fi
    fi
  done < <(grep -rHoE '^#include "[a-z]+/[^"]+"' "$dir" | sed -E 's/#include "([^"]+)"/\1/')
done
exit $bad

#!/usr/bin/env bash
# Fails when a file of the product includes a header from a folder of a higher layer than
# its own. The order of the layers is written once, in the README's line that starts with
# "Layers, bottom up:"; folders on that line separated by "<" are layers, folders joined by
# "," share one. Tests, benchmarks, the reference host and tools are not layers.
# Usage: check-layers.sh [ROOT]   (the project's folder unless another is named)
set -euo pipefail
cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}"
line=$(grep -m1 '^Layers, bottom up:' README.md) || { echo "README.md names no layers" >&2; exit 1; }
declare -A rank
level=0
for word in ${line#Layers, bottom up:}; do
  case "$word" in
    '<') level=$((level + 1)) ;;
    *) folder=${word//[\`,\/.]/}; [ -n "$folder" ] && rank[$folder]=$level ;;
  esac
done
[ ${#rank[@]} -gt 1 ] || { echo "README.md's layer line names no folders" >&2; exit 1; }

bad=0
for folder in "${!rank[@]}"; do
  while IFS=: read -r file number include; do
    target=${include#*\"}
    target=${target%%/*}
    if [ -z "${rank[$target]+set}" ]; then
      echo "$file:$number: includes $target/, which is no layer of the product"
      bad=1
    elif [ "${rank[$target]}" -gt "${rank[$folder]}" ]; then
      echo "$file:$number: $folder/ includes $target/, a higher layer"
      bad=1
    fi
  done < <(grep -Hn -E '^\s*#\s*include\s+"[A-Za-z0-9_]+/' "$folder"/*.h "$folder"/*.cpp "$folder"/*.rc 2>/dev/null || true)
done
[ $bad = 0 ] && echo "Layers: no include runs from a lower layer to a higher one (${#rank[@]} folders)"
exit $bad

#!/usr/bin/env bash
# Fails when a library includes a header of a library listed after it in
# src/CMakeLists.txt (or of a folder that is no library): the list is the
# build's bottom-up order, and an include against it is a cycle waiting to
# happen that the static link would only sometimes reveal.
set -euo pipefail
src="${1:-$(cd "$(dirname "$0")/.." && pwd)/src}"

declare -A rank
n=0
while read -r dir; do
  rank[$dir]=$n
  n=$((n + 1))
done < <(sed -n 's/^mendo_add_library([A-Za-z0-9_]* \([^ )]*\).*/\1/p' "$src/CMakeLists.txt")

if [ "$n" -eq 0 ]; then
  echo "check-library-order: no mendo_add_library lines in $src/CMakeLists.txt" >&2
  exit 1
fi

bad=0
for dir in "${!rank[@]}"; do
  own=${rank[$dir]}
  for file in "$src/$dir"/*.h "$src/$dir"/*.cpp; do
    [ -e "$file" ] || continue
    while IFS=: read -r line path; do
      folder=$(dirname "$path")
      if [ -z "${rank[$folder]+set}" ]; then
        echo "${file#"$src"/}:$line includes \"$path\": $folder is no library" >&2
        bad=1
      elif [ "${rank[$folder]}" -gt "$own" ]; then
        echo "${file#"$src"/}:$line includes \"$path\": $folder is listed after $dir" >&2
        bad=1
      fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/[^"]*"' "$file" |
             sed 's/^\([0-9]*\):.*"\(.*\)".*/\1:\2/')
  done
done

if [ "$bad" -ne 0 ]; then
  echo "check-library-order: includes against the order of src/CMakeLists.txt" >&2
  exit 1
fi
echo "check-library-order: $n libraries, every include follows their order"

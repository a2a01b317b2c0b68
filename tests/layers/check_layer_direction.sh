#!/usr/bin/env bash
# Fails when a layer's library needs a symbol that only a library it may not
# use defines: with one include root and static archives, nothing else stops
# a lower layer from calling up. Each argument is NAME=ARCHIVE=BELOW, where
# BELOW lists (comma-separated) the layers NAME may use.
# Only strong global definitions count (T, D, B, R): inline functions and
# template instances are weak in every archive that has them.
set -euo pipefail

declare -A archive below
order=()
for spec in "$@"; do
    IFS== read -r name path uses <<<"$spec"
    archive[$name]=$path
    below[$name]=$uses
    order+=("$name")
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in "${order[@]}"; do
    nm --undefined-only --format=posix "${archive[$name]}" 2>/dev/null | awk '$2 == "U" {print $1}' | sort -u >"$work/$name.needs"
    nm --defined-only --extern-only --format=posix "${archive[$name]}" 2>/dev/null |
        awk '$2 ~ /^[TDBR]$/ {print $1}' | sort -u >"$work/$name.defines"
done

status=0
for name in "${order[@]}"; do
    for other in "${order[@]}"; do
        [ "$other" = "$name" ] && continue
        case ",${below[$name]}," in *",$other,"*) continue ;; esac
        reached=$(comm -12 "$work/$name.needs" "$work/$other.defines" | head -n 5)
        if [ -n "$reached" ]; then
            echo "$name needs what $other defines, but may not use $other:"
            c++filt <<<"$reached" | sed 's/^/    /'
            status=1
        fi
    done
done
[ "$status" -eq 0 ] && echo "every layer uses only the layers below it (${order[*]})"
exit "$status"

#!/usr/bin/env bash
# Checks that every C++ source and header of src/, tests/ and bench/ that git
# knows is formatted as .clang-format says. Prints the files that are not and
# fails; `clang-format -i FILE` formats one.
#
#   scripts/check-format.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

zq_install_packages "${ZQ_FORMAT_PACKAGES[@]}"
mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
if [ "${#files[@]}" -eq 0 ]; then
    echo "No C++ files found under src/, tests/ or bench/" >&2
    exit 1
fi
# One run for all is quick; only a failing one is looked at file by file.
if clang-format --dry-run --Werror "${files[@]}" >/dev/null 2>&1; then
    echo "clang-format: ${#files[@]} files formatted"
    exit 0
fi
unformatted=()
for file in "${files[@]}"; do
    if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
        unformatted+=("$file")
    fi
done
if [ "${#unformatted[@]}" -ne 0 ]; then
    echo "Not formatted as .clang-format says (clang-format -i FILE):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "clang-format failed without naming a file" >&2
exit 1

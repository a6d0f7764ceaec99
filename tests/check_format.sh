#!/usr/bin/env bash
# The C++ code is laid out as .clang-format says: prints each place that is not, exits 1.
set -uo pipefail
root=$1
cd "$root" || exit 2
mapfile -t files < <(find base ui app lang request delivery capture organize dialogs tests bench \
                       \( -name '*.cpp' -o -name '*.h' \) -not -path 'tests/fuzz/corpus-*' 2>/dev/null | sort)
clang-format --dry-run -Werror "${files[@]}" && echo "${#files[@]} files laid out as .clang-format says"

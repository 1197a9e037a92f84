#!/bin/sh
# Checks the layering of src/: every #include "..." of a file under src/ names a file of its own layer or of
# a layer below it, and neither program includes the other.  Prints each include that breaks this and fails;
# a file in a folder that has no layer fails too.  Run by the test suite (ctest -R layering).
#
#   tools/check-layers.sh [SRC-DIR]      (default: the src/ beside tools/)
#
# The layers, lowest first (one line each: rank, then the folder):
layers='
1 base
2 diag
3 os
4 lang/values
5 lang/eval
6 lang/nodes
7 lang/frontend
8 tovik
8 vorn
'
# The headers that flex and bison write, by the folder of the file they are made from.
generated='
grammar.h lang/frontend
source_scanner.h lang/frontend
template_scanner.h tovik
'
set -e
src=${1:-$(dirname "$0")/../src}
cd "$src"

find . -type f \( -name '*.h' -o -name '*.cc' -o -name '*.l' -o -name '*.y' -o -name '*.inc' \) | sed 's|^\./||' | sort |
    while IFS= read -r file; do
        grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
            sed 's|^\([0-9]*\):[^"]*"\([^"]*\)".*|\1 \2|' |
            while read -r line included; do
                printf '%s %s %s\n' "$file" "$line" "$included"
            done
    done |
    awk -v layers="$layers" -v generated="$generated" '
        BEGIN {
            n = split(layers, rows, "\n")
            for (i = 1; i <= n; ++i)
                if (split(rows[i], f, " ") == 2) {
                    rank[f[2]] = f[1]
                    folders[++count] = f[2]
                }
            n = split(generated, rows, "\n")
            for (i = 1; i <= n; ++i)
                if (split(rows[i], f, " ") == 2)
                    made_in[f[1]] = f[2]
            bad = 0
        }
        # The layer folder of a path from src/: the longest folder of the list it lies in.
        function layer_of(path,    i, best) {
            best = ""
            for (i = 1; i <= count; ++i)
                if (index(path, folders[i] "/") == 1 && length(folders[i]) > length(best))
                    best = folders[i]
            return best
        }
        {
            file = $1; line = $2; included = $3
            from = layer_of(file)
            if (from == "") {
                if (!(file in told)) {
                    print file ": lies in no layer (give its folder one in tools/check-layers.sh)"
                    told[file] = 1
                    bad = 1
                }
                next
            }
            to = (included in made_in) ? made_in[included] : layer_of(included)
            if (to == "") {
                print file ":" line ": includes \"" included "\", which lies in no layer"
                bad = 1
            } else if (rank[to] > rank[from]) {
                print file ":" line ": includes \"" included "\": " from "/ may not include " to "/ (a layer above it)"
                bad = 1
            } else if (rank[to] == rank[from] && to != from) {
                print file ":" line ": includes \"" included "\": " from "/ may not include " to "/ (the other program)"
                bad = 1
            }
        }
        END {
            if (bad)
                exit 1
        }'
echo "layering kept: no include runs up a layer or between the programs"

#!/bin/bash
# The window's folders include each other one way only. The features (bank/, synth/,
# desktop/, collection/, parameters/) see the main window through the interfaces of host/
# and include nothing of frame/; frame/ includes a feature only where it puts the window
# together (Composition.*); and no folder of ui/ reaches itself again through the others.
# Usage: include-graph.sh UI_DIR. Prints each fault and exits 1 when there is one.
set -u
ui=${1:?usage: include-graph.sh UI_DIR}
cd "$ui" || exit 2

features='bank synth desktop collection parameters'
is_feature() { [[ " $features " == *" $1 "* ]]; }

faults=0
fault() { echo "include graph: $*"; faults=1; }

# One line per include of a file of ui/: "including-file folder included-file included-folder".
# Bare names found beside the including file belong to its folder; other bare names come
# from the libraries (data/, midi/, collection/, Qt) and are left out.
edges=$(find . -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z |
    xargs -0 grep -H '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
    sed 's#^\./\([^:]*\):.*"\([^"]*\)".*#\1 \2#' |
    while read -r file included; do
        folder=. dir=.
        [[ $file == */* ]] && folder=${file%%/*} dir=${file%/*}
        if [[ $included == */* ]]; then
            [[ -e $included ]] && echo "$file $folder $included ${included%%/*}"
        elif [[ -e $dir/$included ]]; then
            echo "$file $folder ${dir#./}/$included $folder"
        fi
    done)

while read -r file folder included target; do
    [[ -n $file ]] || continue
    if is_feature "$folder" && [[ $target == frame ]]; then
        fault "$file includes $included: a feature sees the window only through host/"
    fi
    if [[ $folder == frame ]] && is_feature "$target" && [[ $(basename "$file") != Composition.* ]]; then
        fault "$file includes $included: only frame/Composition.* puts the features in the window"
    fi
done <<< "$edges"

# Circles, between folders and between files: tsort names each loop it finds.
check_loops() {
    local what=$1 pairs=$2 loops
    loops=$(tsort <<< "$pairs" 2>&1 >/dev/null | sed -n 's/^tsort: \([^-].*\)/\1/p' | tr '\n' ' ')
    [[ -z $loops ]] || fault "a circle of $what through: $loops"
}
check_loops folders "$(awk '$2 != $4 && $2 != "." { print $2, $4 }' <<< "$edges" | sort -u)"
check_loops files "$(awk 'NF == 4 { print $1, $3 }' <<< "$edges" | sort -u)"

[[ $faults == 0 ]] && echo "include graph: $(wc -l <<< "$edges") includes, no circle"
exit $faults

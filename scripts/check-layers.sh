#!/usr/bin/env bash
# Fails when an #include runs upwards through tapeScribe's three levels:
#   core/                                   imports no other folder of tapeScribe;
#   clips/ logform/ account/ help/ move/    import core/ (and another area only along an arrow below);
#   notes/                                  an area on Qt Core alone: it imports no other folder at all;
#   tools/ logservice/                      separate programs: core/ at most (tools/markers: clips/, notes/ too);
#   app/                                    the top: may import everything.
# Run by every build; prints each offending line.
set -euo pipefail
cd "$(dirname "$0")/.."

areas=(clips logform account help move)
# Area-to-area arrows that the data really takes, as "from->to"; each is named in README.md's layout table.
allowed_arrows=()

status=0
check() { # folder, allowed include prefixes...
    local folder=$1
    shift
    local pattern
    pattern=$(printf '|%s/' "$@")
    pattern="^#include \"(${pattern:1})"
    while IFS= read -r line; do
        local included=${line#*#include \"}
        included=${included%%\"*}
        case $included in */*) ;; *) continue ;; esac # a header beside the file itself
        if ! [[ "#include \"$included\"" =~ $pattern ]]; then
            echo "layer violation: $line" >&2
            status=1
        fi
    done < <(grep -rHn --include='*.cpp' --include='*.h' '^#include "' "$folder" || true)
}

check core core
# The notes library links Qt Core only, so not even core/ may be included.
check notes notes
for area in "${areas[@]}"; do
    targets=(core "$area")
    for arrow in "${allowed_arrows[@]}"; do
        [ "${arrow%%->*}" = "$area" ] && targets+=("${arrow##*->}")
    done
    check "$area" "${targets[@]}"
done
# tapescribe-markers joins clips and notes into marker files: a program like app/, it may import both.
for tool in tools/*/; do
    case $tool in
    tools/markers/) check "${tool%/}" core tools clips notes ;;
    *) check "${tool%/}" core tools ;;
    esac
done
check logservice core logservice
exit $status

#!/usr/bin/env bash
# Fails when an #include runs upwards through tapeScribe's three levels:
#   core/                                   imports no other folder of tapeScribe;
#   clips/ logform/ account/ help/ move/    import core/ (and another area only along an arrow below);
#   notes/                                  an area on Qt Core alone: it imports no other folder at all;
#   tools/ logservice/                      separate programs: core/ at most (tools/markers: clips/, notes/ too);
#   app/                                    the top: may import everything.
# Every form of include is read: quoted or angled, with spaces after the '#', and with a path that climbs
# out of the file's own folder ("../app/X.h"). The libraries' link checks catch the calls; this check gives
# the readable message, and catches what lives in headers alone. Run by every build; prints each offending
# line.
set -euo pipefail
cd "$(dirname "$0")/.."

folders=(core notes clips logform account help move app tools logservice)
areas=(clips logform account help move)
# Area-to-area arrows that the data really takes, as "from->to"; each is named in README.md's layout table.
allowed_arrows=("account->logform" "clips->notes")

status=0
# Sets `target` to the project folder that a header included from `file` lives in, or leaves it empty for
# a system header or one beside the file.
included_folder() { # file, included path
    local file=$1 included=$2
    case $included in
    ../*) included=$(realpath -m --relative-to=. "$(dirname "$file")/$included") ;;
    */*) ;;
    *) return 0 ;; # a header beside the file itself
    esac
    local first=${included%%/*}
    for folder in "${folders[@]}"; do
        [ "$first" = "$folder" ] && target=$folder && return 0
    done
    return 0
}

check() { # folder, allowed folders...
    local folder=$1
    shift
    local allowed=" $* "
    while IFS=: read -r file number line; do
        local included=${line#*include}
        included=${included#"${included%%[<\"]*}"}
        included=${included:1}
        local target=
        included_folder "$file" "$included"
        if [ -n "$target" ] && [[ $allowed != *" $target "* ]]; then
            echo "layer violation: $file:$number:$line" >&2
            status=1
        fi
    done < <(grep -rHnoE --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"][^>"]+' "$folder" || true)
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

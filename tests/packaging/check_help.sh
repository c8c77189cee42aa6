#!/usr/bin/env bash
# Checks the compiled help files against their HTML sources: every source file is in the CHM with
# the same text, every page is in the contents and reachable, every link leads to a page, and
# both languages have the same pages.
set -uo pipefail
build_dir=$1 source_dir=$2
failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

pages_of() {
    (cd "$1" && ls -- *.html)
}

# check_language LANG SUFFIX CHARSET: the CHM keeps its text in CHARSET, the sources in UTF-8.
check_language() {
    local lang=$1 suffix=$2 charset=$3
    local chm=$build_dir/$lang/QMV-TKSeries_$suffix.chm
    local sources=$source_dir/$lang
    local extracted=$scratch/$lang
    if [[ $(head -c 4 "$chm" 2>/dev/null) != ITSF ]]; then
        fail "$chm is not a compiled help file"
        return
    fi
    mkdir -p "$extracted"
    chmls extractall "$chm" "$extracted" >/dev/null 2>&1 || fail "chmls cannot unpack $chm"

    local source name stored
    for source in "$sources"/*.html "$sources"/*.hhc "$sources"/*.hhk "$source_dir/style.css"; do
        name=$(basename "$source")
        if [[ ! -f $extracted/$name ]]; then
            fail "$lang: $name is not in $(basename "$chm")"
            continue
        fi
        stored=$(iconv -f "$charset" -t UTF-8 "$extracted/$name" |
            sed "s/charset=$charset/charset=utf-8/")
        [[ $stored == "$(cat "$source")" ]] ||
            fail "$lang: $name in the CHM differs from its source"
    done

    local page link target
    for page in $(pages_of "$sources"); do
        grep -q "name=\"Local\" value=\"$page\"" "$sources"/*.hhc ||
            fail "$lang: $page is missing from the contents"
        for link in $(grep -o 'href="[^"]*"' "$sources/$page" | sed 's/^href="//; s/"$//'); do
            target=${link%%#*}
            [[ $target == *://* || -z $target ]] && continue
            [[ -f $sources/$target || $target == style.css ]] ||
                fail "$lang: $page links to $target, which does not exist"
        done
    done
}

check_language en English utf-8
check_language ja Japanese Shift_JIS

[[ $(pages_of "$source_dir/en") == "$(pages_of "$source_dir/ja")" ]] ||
    fail "the English and Japanese help have different pages"

if [[ $failures -gt 0 ]]; then
    echo "$failures help check(s) failed" >&2
    exit 1
fi
echo "help files match their sources"

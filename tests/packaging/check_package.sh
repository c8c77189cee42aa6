#!/usr/bin/env bash
# Checks the package that build_package.sh made and unpacked into OUT_DIR/root: computed
# dependencies, the desktop integration files, the help the launcher finds, and that the
# installed programs run.
set -uo pipefail
out=$1 source_dir=$2
deb=$(echo "$out"/*.deb)
root=$out/root
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Value of KEY in the [Desktop Entry] group of a desktop file.
desktop_key() {
    sed -n "/^\[Desktop Entry\]/,/^\[/s/^$2=//p" "$1" | head -n 1
}

# The package that owns a library; merged /usr means dpkg may know it under /lib or /usr/lib.
package_of() {
    local path=$1 candidate owner
    for candidate in "$path" "/usr${path#/usr}"; do
        owner=$(dpkg -S "$candidate" 2>/dev/null | head -n 1) || continue
        [[ -n $owner ]] && { echo "${owner%%:*}"; return; }
    done
}

check_dependencies() {
    local depends recommends binary library path package
    depends=$(dpkg-deb -f "$deb" Depends)
    recommends=$(dpkg-deb -f "$deb" Recommends)
    [[ ", $recommends," == *", fonts-ipafont-gothic"[\ ,]* ]] ||
        fail "Recommends lacks fonts-ipafont-gothic: '$recommends'"
    for binary in "$root"/usr/bin/*; do
        for library in $(objdump -p "$binary" | awk '$1 == "NEEDED" {print $2}'); do
            path=$(ldd "$binary" | awk -v lib="$library" '$1 == lib {print $3}')
            package=$(package_of "$path")
            if [[ -z $package ]]; then
                fail "$(basename "$binary"): no package owns $library ($path)"
            elif [[ ", $depends," != *", $package"[\ ,]* ]]; then
                fail "$(basename "$binary") needs $library from $package," \
                    "not in Depends: '$depends'"
            fi
        done
    done
}

check_desktop_entry() {
    local desktop=$root/usr/share/applications/tavoren-drive-utility.desktop
    [[ -f $desktop ]] || { fail "no desktop entry"; return; }
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"

    local exec icon path
    exec=$(desktop_key "$desktop" Exec)
    [[ -x $root/usr/bin/${exec%% *} ]] || fail "Exec=$exec is not an installed program"
    icon=$(desktop_key "$desktop" Icon)
    local size png
    for png in "$source_dir"/res/icons/"$icon"-*.png; do
        size=${png##*-}
        size=${size%.png}
        local installed=$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
        if [[ ! -f $installed ]]; then
            fail "icon of ${size}x${size} not installed"
        elif ! file "$installed" | grep -q ", $size x $size,"; then
            fail "$installed is not $size x $size: $(file -b "$installed")"
        fi
    done
    [[ -f $root/usr/share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "no scalable icon"

    # The launcher starts the program where the help item finds its files.
    path=$(desktop_key "$desktop" Path)
    local help
    for help in QMV-TKSeries_English.chm QMV-TKSeries_Japanese.chm; do
        if [[ ! -f $root$path/$help ]]; then
            fail "Path=$path holds no $help"
        elif [[ $(head -c 4 "$root$path/$help") != ITSF ]]; then
            fail "$path/$help is not a compiled help file"
        fi
    done
}

check_metainfo() {
    local metainfo
    metainfo=$(echo "$root"/usr/share/metainfo/*.metainfo.xml)
    [[ -f $metainfo ]] || { fail "no metainfo"; return; }
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
    local launchable binary
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
    [[ -f $root/usr/share/applications/$launchable ]] ||
        fail "metainfo launches '$launchable', which is not installed"
    for binary in $(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo"); do
        [[ -x $root/usr/bin/$binary ]] || fail "metainfo provides $binary, which is not installed"
    done
}

check_manuals() {
    local binary page warnings
    for binary in "$root"/usr/bin/*; do
        page=$root/usr/share/man/man1/$(basename "$binary").1
        [[ -f $page ]] || fail "no manual page for $(basename "$binary")"
    done
    # From the manual tree, so that .so links resolve as man finds them.
    for page in "$root"/usr/share/man/man1/*.1; do
        warnings=$(cd "$root/usr/share/man" && LC_ALL=C.UTF-8 MANWIDTH=80 \
            man --warnings -E UTF-8 -l "man1/$(basename "$page")" 2>&1 >/dev/null)
        [[ -z $warnings ]] || fail "$(basename "$page"): $warnings"
        grep -q '@[A-Z_]*@' "$page" && fail "$(basename "$page") has unfilled placeholders"
    done
}

check_documentation() {
    local lang html docs=$root/usr/share/doc/tavoren-drive-utility/html
    for lang in en ja; do
        for html in "$source_dir"/help/$lang/*.html; do
            cmp -s "$html" "$docs/$lang/$(basename "$html")" ||
                fail "help page $lang/$(basename "$html") not installed as documentation"
        done
    done
}

check_completion() {
    local script=$root/usr/share/bash-completion/completions/tavorenctl
    bash -c 'source "$1" && complete -p tavorenctl' _ "$script" >/dev/null ||
        fail "$script does not register a completion for tavorenctl"
}

check_programs_run() {
    local listing status
    listing=$("$root/usr/bin/tavorenctl" --simulate list)
    status=$?
    [[ $status -eq 0 ]] || fail "installed tavorenctl --simulate list exited with $status"
    grep -q '^E : TAVOREN' <<<"$listing" && grep -q '^F : TAVOREN' <<<"$listing" ||
        fail "installed tavorenctl lists no simulated drives: $listing"

    TAVOREN_DEMO_EXIT_WHEN_SHOWN=1 QT_QPA_PLATFORM=offscreen \
        timeout 60 "$root/usr/bin/tavoren-drive-utility-demo"
    status=$?
    [[ $status -eq 0 ]] || fail "installed demo exited with $status"
}

check_dependencies
check_desktop_entry
check_metainfo
check_manuals
check_documentation
check_completion
check_programs_run

if [[ $failures -gt 0 ]]; then
    echo "$failures check(s) of $deb failed" >&2
    exit 1
fi
echo "$deb: all checks passed"

#!/usr/bin/env bash
# Runs the bash completion of tavorenctl on typed command lines, and checks it against the tool:
# it offers every command and option the tool's help lists, and the tool accepts every value it
# offers.
set -uo pipefail
completion=$1 tool=$2
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# shellcheck source=/dev/null
source "$completion"

# What the completion offers for LINE, the cursor at its end, sorted and space-separated.
completions() {
    local line=$1
    # bash breaks words at "=" as well as at blanks.
    read -r -a COMP_WORDS <<<"${line//=/ = }"
    [[ $line == *[\ =] ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _tavorenctl
    printf '%s\n' "${COMPREPLY[@]}" | sort | xargs
}

expect() {
    local line=$1 expected=$2 actual
    actual=$(completions "$line")
    [[ $actual == "$expected" ]] || fail "'$line' offers '$actual', expected '$expected'"
}

commands="bus-power-check factory-reset force-eject led list quiet show veritrax"

# Typed lines and what they complete to.
expect "tavorenctl " "$commands"
expect "tavorenctl f" "factory-reset force-eject"
expect "tavorenctl --" "--drive --help --json --simulate --trace --version"
expect "tavorenctl --drive Y" "Y"
expect "tavorenctl --drive=E" "E"
expect "tavorenctl --drive E " "$commands"
expect "tavorenctl --drive=E " "$commands"
expect "tavorenctl --simulate " "$commands"
expect "tavorenctl --simulate=state.json sh" "show"
expect "tavorenctl --trace trace.txt --json l" "led list"
expect "tavorenctl quiet " "off performance persistent quiet"
expect "tavorenctl quiet p" "performance persistent"
expect "tavorenctl quiet off " ""
expect "tavorenctl quiet off --s" "--save --simulate"
expect "tavorenctl veritrax --real-time " "master off perfect"
expect "tavorenctl veritrax --" \
    "--drive --help --json --real-time --save --simulate --trace --version"
expect "tavorenctl led " ""
expect "tavorenctl led --pattern " "blink1 blink2 blink3 flicker off on"
expect "tavorenctl led --pattern=fl" "flicker"
expect "tavorenctl led --brightness " "0 1 2"
expect "tavorenctl led --cycle=" "0 1 2 3"
expect "tavorenctl led --usb-pattern " "blink on"
expect "tavorenctl led --pattern on --c" "--cycle"
expect "tavorenctl force-eject -" "--drive --help --json --simulate --trace --version --yes -h -y"
expect "tavorenctl --drive F bus-power-check --y" "--yes"
expect "tavorenctl list --j" "--json"

# Option names of a help text's "Options:" section, one a line.
help_options() {
    sed -n '/^Options:/,/^$/p' | grep -o -- '^ *-[^ ]*' | tr ',' '\n' | sed 's/^ *//' | sort -u
}

# Everything the tool's help lists is offered.
offered_commands=" $(completions "tavorenctl ") "
tool_commands=$(sed -n '/^Subcommands:/,/^$/p' <("$tool" --help) | awk 'NF {print $1}' | tail -n +2)
for command in $tool_commands; do
    [[ $offered_commands == *" $command "* ]] ||
        fail "the tool has '$command', the completion does not offer it"
    offered=" $(completions "tavorenctl $command -") "
    for option in $(help_options < <("$tool" "$command" --help)); do
        [[ $offered == *" $option "* ]] ||
            fail "'tavorenctl $command' takes $option, which is not offered"
    done
done
offered=" $(completions "tavorenctl -") "
for option in $(help_options < <("$tool" --help)); do
    [[ $offered == *" $option "* ]] || fail "tavorenctl takes $option, which is not offered"
done

# Every offered value is one the tool accepts, on a simulated drive that has every feature.
accepts() {
    local output
    output=$("$tool" --simulate --drive E "$@" 2>&1) ||
        fail "the tool refuses offered 'tavorenctl $*': $output"
}
for mode in $(completions "tavorenctl quiet "); do accepts quiet "$mode"; done
for mode in $(completions "tavorenctl veritrax "); do accepts veritrax "$mode"; done
for option in --pattern --brightness --cycle --usb-pattern; do
    for value in $(completions "tavorenctl led $option "); do accepts led "$option" "$value"; done
done
for letter in $(completions "tavorenctl --drive "); do
    output=$("$tool" --simulate --drive "$letter" list 2>&1) ||
        fail "the tool refuses --drive $letter: $output"
done

if [[ $failures -gt 0 ]]; then
    echo "$failures completion check(s) failed" >&2
    exit 1
fi
echo "completion matches tavorenctl"

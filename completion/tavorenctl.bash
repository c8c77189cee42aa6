# bash completion for tavorenctl

_tavorenctl_values() {
    local IFS=$'\n'
    COMPREPLY+=($(compgen -W "$1" -- "$2"))
}

_tavorenctl() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    # bash splits "--opt=value" at the "=", so the option is one word further back.
    local assigned=
    if [[ $cur == "=" ]]; then
        cur=
        assigned=1
    elif [[ $prev == "=" ]]; then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
        assigned=1
    fi
    if [[ -n $assigned && $prev != --* ]]; then
        prev=
        assigned=
    fi
    COMPREPLY=()

    local subcommands="list show quiet veritrax led bus-power-check force-eject factory-reset"
    local global_options="-h --help --version --drive --simulate --json --trace"

    case $prev in
        --drive)
            local nodes
            nodes=$(compgen -G '/dev/sr[0-9]*')
            _tavorenctl_values "$(printf '%s\n' {C..Z} $nodes)" "$cur"
            return
            ;;
        --trace)
            COMPREPLY=($(compgen -f -- "$cur"))
            return
            ;;
        --simulate)
            # The state file is only taken as --simulate=FILE.
            if [[ -n $assigned ]]; then
                COMPREPLY=($(compgen -f -- "$cur"))
                return
            fi
            ;;
        --pattern)
            _tavorenctl_values $'blink1\nblink2\nblink3\nflicker\non\noff' "$cur"
            return
            ;;
        --brightness)
            _tavorenctl_values $'0\n1\n2' "$cur"
            return
            ;;
        --cycle)
            _tavorenctl_values $'0\n1\n2\n3' "$cur"
            return
            ;;
        --usb-pattern)
            _tavorenctl_values $'on\nblink' "$cur"
            return
            ;;
    esac

    # The subcommand is the first word that is neither an option nor an option's value.
    local subcommand= mode_given= i word
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
            --drive | --trace | --pattern | --brightness | --cycle | --usb-pattern)
                ((i++))
                [[ ${COMP_WORDS[i]} == "=" ]] && ((i++))
                ;;
            --simulate)
                [[ ${COMP_WORDS[i + 1]} == "=" ]] && ((i += 2))
                ;;
            -*) ;;
            *)
                if [[ -z $subcommand ]]; then
                    subcommand=$word
                else
                    mode_given=1
                fi
                ;;
        esac
    done

    if [[ -z $subcommand ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$global_options" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$subcommands" -- "$cur"))
        fi
        return
    fi

    local options modes=
    case $subcommand in
        quiet)
            options="--save"
            modes="off quiet performance persistent"
            ;;
        veritrax)
            options="--real-time --save"
            modes="off master perfect"
            ;;
        led) options="--pattern --brightness --cycle --usb-pattern" ;;
        bus-power-check | force-eject | factory-reset) options="-y --yes" ;;
        list | show) options= ;;
        *) return ;;
    esac
    # Options of the tool itself are accepted after the subcommand as well.
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options $global_options" -- "$cur"))
    elif [[ -n $modes && -z $mode_given ]]; then
        COMPREPLY=($(compgen -W "$modes" -- "$cur"))
    fi
}

complete -F _tavorenctl tavorenctl

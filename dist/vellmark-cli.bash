# SPDX-License-Identifier: Apache-2.0
# bash completion for vellmark-cli: commands, options, settings files, the setting names of
# `set`, host names after --server, files after --servers-from, and the queue names of `send --printer` as
# `vellmark-cli printers` lists them (SERVER/QUEUE when several servers are named).

# The options of each command, and those of them that take a value.
_vellmark_cli_options() {
    case $1 in
    factory) echo --force ;;
    show) echo --json ;;
    printers) echo --server --servers-from --timeout --json ;;
    send) echo --printer --all --server --servers-from --timeout --wait --dry-run --json ;;
    esac
}
_vellmark_cli_takes_value() {
    case $1 in
    --server | --servers-from | --timeout | --wait) return 0 ;;
    esac
    return 1
}

# The setting names, as the tool itself lists them (from a factory settings file).
_vellmark_cli_names() {
    local tool=$1 tmp
    tmp=$(mktemp 2>/dev/null) || return
    if "$tool" factory --force "$tmp" >/dev/null 2>&1; then
        "$tool" show "$tmp" 2>/dev/null | while read -r name _; do printf '%s\n' "$name"; done
    fi
    rm -f -- "$tmp"
}

_vellmark_cli_files() {
    local IFS=$'\n'
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -X '!*.[dD][aA][tT]' -- "$1") $(compgen -d -- "$1"))
}

_vellmark_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    local tool=${COMP_WORDS[0]}
    local command=${COMP_WORDS[1]}
    COMPREPLY=()

    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W 'factory show set diff printers send --help --version' -- "$cur"))
        return
    fi

    # The value of an option.
    if ((COMP_CWORD > 2)) && _vellmark_cli_takes_value "$prev"; then
        case $prev in
        --server) COMPREPLY=($(compgen -A hostname -- "$cur")) ;;
        --servers-from)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            ;;
        esac
        return
    fi

    # The plain arguments so far, the servers named (and how they are asked), and the queues
    # already named after --printer. A list of servers from a file counts as several.
    local i words=() servers=() named=() inPrinters=0 count=0
    for ((i = 2; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        --printer) inPrinters=1 ;;
        --server | --servers-from | --timeout)
            servers+=("${COMP_WORDS[i]}" "${COMP_WORDS[i + 1]}")
            [[ ${COMP_WORDS[i]} == --server ]] && ((count++))
            [[ ${COMP_WORDS[i]} == --servers-from ]] && ((count += 2))
            ((i++))
            inPrinters=0
            ;;
        -*)
            _vellmark_cli_takes_value "${COMP_WORDS[i]}" && ((i++))
            inPrinters=0
            ;;
        *) if ((inPrinters)); then named+=("${COMP_WORDS[i]}"); else words+=("${COMP_WORDS[i]}"); fi ;;
        esac
    done

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_vellmark_cli_options "$command")" -- "$cur"))
        return
    fi

    case $command in
    factory | show)
        ((${#words[@]} == 0)) && _vellmark_cli_files "$cur"
        ;;
    set)
        if ((COMP_CWORD == 2)); then
            _vellmark_cli_files "$cur"
        elif [[ $cur != *=* ]]; then
            compopt -o nospace 2>/dev/null
            COMPREPLY=($(compgen -W "$(_vellmark_cli_names "$tool")" -S = -- "$cur"))
        fi
        ;;
    diff)
        ((${#words[@]} < 2)) && _vellmark_cli_files "$cur"
        ;;
    printers)
        COMPREPLY=($(compgen -W "$(_vellmark_cli_options printers)" -- "$cur"))
        ;;
    send)
        if ((inPrinters)); then
            # One server: the list has the queue first; several: the server, then the queue.
            local queues=() server name _ n several=0
            ((count > 1)) && several=1
            while read -r server name _; do
                ((several)) && name=$server/$name || name=$server
                for n in "${named[@]}"; do [[ $n == "$name" ]] && continue 2; done
                queues+=("$name")
            done < <("$tool" printers "${servers[@]}" 2>/dev/null)
            COMPREPLY=($(compgen -W "${queues[*]}" -- "$cur"))
        elif ((${#words[@]} == 0)); then
            _vellmark_cli_files "$cur"
        fi
        ;;
    esac
}

complete -F _vellmark_cli vellmark-cli

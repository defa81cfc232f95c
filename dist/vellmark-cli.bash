# bash completion for vellmark-cli: commands, options, settings files, the setting names of
# `set`, and the queue names of `send --printer` as `vellmark-cli printers` lists them (as
# SERVER/QUEUE when several servers are named).

# The setting names, as the tool itself lists them (from a factory settings file).
_vellmark_cli_names() {
    local tool=$1 tmp
    tmp=$(mktemp 2>/dev/null) || return
    if "$tool" factory "$tmp" >/dev/null 2>&1; then
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
    local tool=${COMP_WORDS[0]}
    local command=${COMP_WORDS[1]}
    COMPREPLY=()

    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W 'factory show set diff printers send --help --version' -- "$cur"))
        return
    fi

    # The value of an option that takes one.
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    case $prev in
    --servers-from)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    --server | --timeout | --wait) return ;;
    esac

    # The plain arguments so far, the queues already named after --printer, and the servers.
    local i words=() named=() servers=() inPrinters=0
    for ((i = 2; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        --printer) inPrinters=1 ;;
        --server | --servers-from | --timeout)
            servers+=("${COMP_WORDS[i]}" "${COMP_WORDS[i + 1]}")
            ((i++))
            inPrinters=0
            ;;
        --wait) ((i++)); inPrinters=0 ;;
        -*) inPrinters=0 ;;
        *) if ((inPrinters)); then named+=("${COMP_WORDS[i]}"); else words+=("${COMP_WORDS[i]}"); fi ;;
        esac
    done

    case $command in
    factory)
        ((COMP_CWORD == 2)) && _vellmark_cli_files "$cur"
        ;;
    show)
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--json' -- "$cur"))
        elif ((${#words[@]} == 0)); then
            _vellmark_cli_files "$cur"
        fi
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
        COMPREPLY=($(compgen -W '--json --server --servers-from --timeout' -- "$cur"))
        ;;
    send)
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--printer --all --json --server --servers-from --timeout
                --wait --dry-run' -- "$cur"))
        elif ((inPrinters)); then
            # With several servers `printers` gives SERVER QUEUE DESTINATION: offer SERVER/QUEUE.
            local queues=() first second _ name n several=0 count=0
            for n in "${servers[@]}"; do
                [[ $n == --server ]] && ((count++))
                [[ $n == --servers-from ]] && several=1
            done
            ((count > 1)) && several=1
            while read -r first second _; do
                name=$first
                ((several)) && name=$first/$second
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

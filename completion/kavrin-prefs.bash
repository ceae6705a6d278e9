# bash completion for kavrin-prefs: its options and commands, and for get, set and unset the keys
# the widget reads, as the installed program lists them (kavrin-prefs keys).
_kavrin_prefs()
{
    local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]}
    if [ "$previous" = "--root" ]; then
        COMPREPLY=($(compgen -d -- "$current"))
        return
    fi
    # The command and the key are the first words that are neither options nor an option's value.
    local command="" key="" word skip=""
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        if [ -n "$skip" ]; then skip=""; continue; fi
        case $word in
            --root) skip=1 ;;
            -*) ;;
            *) if [ -z "$command" ]; then command=$word; elif [ -z "$key" ]; then key=$word; fi ;;
        esac
    done
    case $current in
        -*)
            COMPREPLY=($(compgen -W "$("${COMP_WORDS[0]}" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)" -- "$current"))
            return ;;
    esac
    if [ -z "$command" ]; then
        COMPREPLY=($(compgen -W "get set unset list keys" -- "$current"))
    elif [ -z "$key" ] && [[ $command == get || $command == set || $command == unset ]]; then
        COMPREPLY=($(compgen -W "$("${COMP_WORDS[0]}" keys 2>/dev/null | cut -d' ' -f1)" -- "$current"))
    elif [ "$command" = set ]; then
        local type
        type=$("${COMP_WORDS[0]}" keys 2>/dev/null | awk -v key="$key" '$1 == key { print $2 }')
        [ "$type" = boolean ] && COMPREPLY=($(compgen -W "true false" -- "$current"))
    fi
}
complete -F _kavrin_prefs kavrin-prefs

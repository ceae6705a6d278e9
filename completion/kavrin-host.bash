# bash completion for kavrin-host. The options come from the program's own --help, so the list
# is always the installed program's.
_kavrin_host()
{
    local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]}
    case $previous in
        --root|--out|--gallery|--against|--plugins)
            COMPREPLY=($(compgen -d -- "$current")); return ;;
        --script)
            COMPREPLY=($(compgen -f -- "$current") $(compgen -W "-" -- "$current")); return ;;
        --speak)
            COMPREPLY=($(compgen -f -X '!*.wav' -- "$current") $(compgen -d -- "$current")); return ;;
        --scale)
            COMPREPLY=($(compgen -W "1 2 3" -- "$current")); return ;;
        --backdrop)
            COMPREPLY=($(compgen -W "dark light none" -- "$current") $(compgen -f -- "$current")); return ;;
        --protocol)
            COMPREPLY=($(compgen -W "json" -- "$current")); return ;;
        --lang)
            COMPREPLY=($(compgen -W "en de fr nl es en,de de,en" -- "$current")); return ;;
        --plugin|--seed|--tolerance)
            return ;;
    esac
    local options
    options=$("${COMP_WORDS[0]}" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
    COMPREPLY=($(compgen -W "$options" -- "$current"))
}
complete -F _kavrin_host kavrin-host

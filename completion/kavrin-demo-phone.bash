# bash completion for kavrin-demo-phone: a folder for the phone, a folder after --bundle, and the
# options from the program's own --help.
_kavrin_demo_phone()
{
    local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]}
    if [ "$previous" = "--bundle" ] || [[ $current != -* ]]; then
        COMPREPLY=($(compgen -d -- "$current"))
        return
    fi
    local options
    options=$("${COMP_WORDS[0]}" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
    COMPREPLY=($(compgen -W "$options" -- "$current"))
}
complete -F _kavrin_demo_phone kavrin-demo-phone

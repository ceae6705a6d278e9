# bash completion for kavrin-import-backup: folders for the backup, the root and --bundle, and the
# options from the program's own --help.
_kavrin_import_backup()
{
    local current=${COMP_WORDS[COMP_CWORD]}
    if [[ $current != -* ]]; then
        COMPREPLY=($(compgen -d -- "$current"))
        return
    fi
    local options
    options=$("${COMP_WORDS[0]}" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
    COMPREPLY=($(compgen -W "$options" -- "$current"))
}
complete -F _kavrin_import_backup kavrin-import-backup

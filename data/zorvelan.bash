# Bash completion for zorvelan: the options that may come next, and nothing
# where a number is expected.
_zorvelan()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    case $prev in
        --generate | --count) return ;;
    esac
    [[ $cur == -* ]] || return

    local given=" ${COMP_WORDS[*]:1:COMP_CWORD-1} " options
    case $given in
        *" -h "* | *" --help "* | *" --help-all "* | *" -v "* | *" --version "*) return ;;
        *" --generate "*) options="--above --count --no-intervals --json" ;;
        *" --analyze "* | *" --quick "*) options="--json" ;;
        *) options="--analyze --quick --generate --above --count --no-intervals --json
                    --help --help-all --version" ;;
    esac
    local option
    for option in $options; do
        [[ $given == *" $option "* ]] || COMPREPLY+=("$option")
    done
    mapfile -t COMPREPLY < <(compgen -W "${COMPREPLY[*]}" -- "$cur")
}
complete -F _zorvelan zorvelan

# Tab completion of ostrivan-card in bash: its commands, their options, file names where a file
# is asked for, and the readers listed now for --reader.
_ostrivan_card() {
    local cur prev words cword
    _init_completion || return

    local commands="readers read format export status doctor history setting"
    local command="" word
    for word in "${words[@]:1:cword-1}"; do
        if [[ " $commands " == *" $word "* ]]; then
            command=$word
            break
        fi
    done

    case $prev in
    --reader)
        local IFS=$'\n'
        COMPREPLY=($(compgen -W "$(ostrivan-card readers 2>/dev/null)" -- "$cur"))
        COMPREPLY=("${COMPREPLY[@]// /\\ }")
        return
        ;;
    --output | --text)
        _filedir
        return
        ;;
    --archive)
        _filedir -d
        return
        ;;
    esac

    local options
    case $command in
    "")
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
        ;;
    read) options="--reader --output --force --verbose" ;;
    format) options="--reader --yes" ;;
    export)
        options="--text --output --force --verbose"
        [[ $cur != -* ]] && _filedir card
        ;;
    status) options="--reader" ;;
    history) options="--archive --output --force" ;;
    setting) options="--number" ;;
    esac
    COMPREPLY+=($(compgen -W "$options --help" -- "$cur"))
}
complete -F _ostrivan_card ostrivan-card

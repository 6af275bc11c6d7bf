# bash completion for qmv-viewer, qmv-dump, qmv-render, qmv-as and qmv-dis:
# their options, and file names filtered to what each place takes (scenes,
# scene texts, PNG images).

_qmv() {
    local cur prev words cword
    _init_completion || return
    # _filedir offers folders and the files with these extensions.
    local scenes='qmv|qmvz'
    case ${words[0]##*/} in
    qmv-viewer)
        _filedir "$scenes"
        ;;
    qmv-dump)
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--events --state --trace --no-callbacks --help --version' -- "$cur"))
        else
            _filedir "$scenes"
        fi
        ;;
    qmv-render)
        case $prev in
        -o | --output) _filedir png; return ;;
        --size | --hide | --view | --timeout) return ;;
        --thumbnail) COMPREPLY=($(compgen -W '128 256 512 1024' -- "$cur")); return ;;
        esac
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '-o --output --size --hide --view --thumbnail --timeout -h --help --version' -- "$cur"))
        else
            # A thumbnail's second name is the image it writes.
            local i names=0 thumbnail=0
            for ((i = 1; i < cword; i++)); do
                case ${words[i]} in
                --thumbnail) thumbnail=1; ((i++)) ;;
                -o | --output | --size | --hide | --view | --timeout) ((i++)) ;;
                -*) ;;
                *) ((names++)) ;;
                esac
            done
            if ((thumbnail && names == 1)); then _filedir png; else _filedir "$scenes"; fi
        fi
        ;;
    qmv-as)
        case $prev in
        -o) _filedir "$scenes"; return ;;
        esac
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '-o --help --version' -- "$cur"))
        else
            _filedir qmvt
        fi
        ;;
    qmv-dis)
        case $prev in
        -o) _filedir qmvt; return ;;
        esac
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '-o --help --version' -- "$cur"))
        else
            _filedir "$scenes"
        fi
        ;;
    esac
} &&
    complete -F _qmv qmv-viewer qmv-dump qmv-render qmv-as qmv-dis

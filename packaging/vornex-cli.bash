# bash completion for vornex-cli

_vornex_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="ports poll record count export params upload report plot verify certificate sign
        register spc sync store"
    if [[ $cword -eq 1 ]]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    case $prev in
        --port)
            COMPREPLY=($(compgen -f -- "${cur:-/dev/tty}"))
            return
            ;;
        --home)
            _filedir -d
            return
            ;;
        --chart)
            COMPREPLY=($(compgen -W "xbar-r xbar-s" -- "$cur"))
            return
            ;;
        --limits)
            COMPREPLY=($(compgen -W "data tolerance" -- "$cur"))
            return
            ;;
        --csv | --xlsx | --png | --pdf | --resume | --out)
            _filedir
            return
            ;;
        --slaves | --slave | --passes | --display | --seconds | --test | --set-mode | \
            --set-unit | --set-measure | --set | --threshold | --target | --upper | \
            --lower | --from | --to | --width | --height | --tool | --class | --max | --min | \
            --unit | --profile | --points | --readings | --preloads | --operator | \
            --temperature | --humidity | --slips | --uri | --bench | --since | --until | --verdict | \
            --login | --record | --field | --value | --reason | --meaning | --name | --subgroup | \
            --rules | --uncertainty | --type | --resolution)
            return
            ;;
    esac

    local options
    case ${words[1]} in
        ports) options="--port" ;;
        poll) options="--port --slaves --passes --display --fast-pass" ;;
        record) options="--port --slaves --test --seconds --home --operator --tool --note
            --fast-pass" ;;
        count) options="" ;;
        export) options="--csv" ;;
        params) options="--port --slave --set-mode --set-unit --set-measure --set" ;;
        upload) options="--port --slave --xlsx --csv --fast" ;;
        report) options="--threshold --target --upper --lower --csv --pdf --home" ;;
        plot) options="--png --pdf --from --to --width --height" ;;
        verify) options="--port --slave --tool --class --max --min --unit --profile --points
            --readings --preloads --operator --temperature --humidity --slips --allow-polled
            --fast-pass --overdue-reason --reference --uncertainty --condition --type --resolution --resume
            --home --csv --pdf" ;;
        certificate) options="--pdf --csv --home" ;;
        sign) options="--meaning --name --home" ;;
        register) options="list add-tool add-reference due impact --tools --references --class --type --min
            --max --unit --maker --model --serial --interval-months --interval-cycles --lead-days
            --last --range --resolution --uncertainty --lowest --due --certificate --within
            --tool --reference --home --uri" ;;
        spc) options="--slave --subgroup --chart --rules --limits" ;;
        sync) options="--once --home --uri" ;;
        store) options="init find get bench add audit verify list amend sign spc --tool --bench --operator
            --since --until --verdict --out --login --record --field --value --reason --meaning
            --name --subgroup --chart --rules --limits --home --uri" ;;
        *) return ;;
    esac
    if [[ ${words[1]} == certificate && $cur != -* ]]; then
        _filedir txt
    elif [[ ${words[1]} == sign && $cur != -* ]]; then
        _filedir
    elif [[ $cur == -* || ( ${words[1]} != count && ${words[1]} != export && ${words[1]} != report && \
        ${words[1]} != plot ) ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    else
        _filedir pdat
    fi
} &&
    complete -F _vornex_cli vornex-cli

# bash completion for tarnwick-cli

_tarnwick_cli() {
  local cur prev words cword
  _init_completion || return

  case $prev in
    --scope) COMPREPLY=($(compgen -W 'this tree levels' -- "$cur")); return ;;
    --lister) COMPREPLY=($(compgen -W 'find mask' -- "$cur")); return ;;
    --in) COMPREPLY=($(compgen -W 'name content both' -- "$cur")); return ;;
    --mode) COMPREPLY=($(compgen -W 'default wildcard regex' -- "$cur")); return ;;
    --unit) COMPREPLY=($(compgen -W 'B KB MB GB TB 个 十 百 千 万' -- "$cur")); return ;;
    --time) COMPREPLY=($(compgen -W 'created modified accessed' -- "$cur")); return ;;
    --compare) COMPREPLY=($(compgen -W 'date time both' -- "$cur")); return ;;
    --dup) COMPREPLY=($(compgen -W 'md5 length name text similar' -- "$cur")); return ;;
    --dup-output) COMPREPLY=($(compgen -W 'one all all-but-one' -- "$cur")); return ;;
    --format) COMPREPLY=($(compgen -W 'paths rows json' -- "$cur")); return ;;
    --settings) _filedir; return ;;
    --levels | --mask | --content | --size | --chars | --from | --to | --exclude | --threads | --read-depth)
      return ;;
    --similarity) return ;;
  esac

  # After --encoding every word is a FILE; after "--" every word is an operand.
  local i encoding=
  for ((i = 1; i < cword; i++)); do
    [[ ${words[i]} == -- ]] && { _filedir; return; }
    [[ ${words[i]} == --encoding ]] && encoding=1
  done

  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W '--scope --levels --mask --lister --exclude --one-file-system
      --threads --read-depth --content --without --in --mode --guess-encodings --size --chars
      --unit --strip-tags
      --strip-space --time --compare --from --to --dup --similarity --dup-output --no-cache --cache-info
      --clear-cache --format -0 --print0 -q --quiet --encoding --settings --save-settings
      --help --version' -- "$cur"))
    return
  fi
  if [[ $encoding ]]; then _filedir; else _filedir -d; fi
}
complete -F _tarnwick_cli tarnwick-cli

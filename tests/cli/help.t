The manual page and the Tab completion name every command and option that --help lists: each
command has its paragraph in the page naming its options, and the completion offers it and them.

  $ page="$SOURCE/packaging/ostrivan-card.1"
  $ completes() {
  >   bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"; shift
  >     COMP_WORDS=(ostrivan-card "$@"); COMP_CWORD=$#; COMP_LINE="ostrivan-card $*"
  >     COMP_POINT=${#COMP_LINE}; _ostrivan_card; printf "%s\n" "${COMPREPLY[@]}"' \
  >     completion "$SOURCE/packaging/ostrivan-card.bash" "$@"
  > }
  $ paragraph() { awk -v command="$1" '/^\.TP/ { on = 0; next }
  >   !seen && ($0 == ".B " command || index($0, "\\fB" command) == 1) { on = seen = 1 } on' "$page"; }
  $ commands=$(ostrivan-card --help | awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }')
  $ echo $commands
  readers read format export status doctor history setting
  $ for command in $commands; do
  >   completes "" | grep -qx "$command" || echo "the completion does not offer $command"
  >   [ -n "$(paragraph "$command")" ] || echo "the manual page has no paragraph for $command"
  >   for option in $(ostrivan-card "$command" --help | grep -oE '^  --[a-z-]+'); do
  >     completes "$command" -- | grep -qx -- "$option" || echo "the completion of $command does not offer $option"
  >     paragraph "$command" | grep -qF -- "\\-\\-${option#--}" || echo "the manual page of $command does not name $option"
  >   done
  > done

What a person types, a file holds or a station lacks is met where it comes in: refused with its
reason, or made right, before anything is half done.

  $ . "$TESTS/support/transcript.sh"
  $ card demo "$SOURCE/data/demo-card.txt"
  $ demo="$CARDS/demo.card"

On a station where nothing ran yet, the commands that use readers make the data folder and log
there.

  $ mv "$DATA" cards; ostrivan-card readers 2>/dev/null; echo "exit $?"; logged
  exit 3
  ASEListReadersLenBufOnly()  46 Error - The smart card resource manager has shut down
  ASEListReaders()  46 Error - The smart card resource manager has shut down
  $ rm -r "$DATA"; mv cards "$DATA"

"-" is standard output; an output that is a folder, or a name with a control character, is
refused before anything is made.

  $ ostrivan-card export "$demo" --output - 2>/dev/null | cmp - "$TESTS/data/demo-card.csv"; ls
  data
  $ mkdir out; for output in out out/ / new/; do ostrivan-card read --reader demo --output "$output"; echo "exit $?"; done
  ostrivan-card: out is a folder: name a file in it
  exit 4
  ostrivan-card: out/ is a folder: name a file in it
  exit 4
  ostrivan-card: / is a folder: name a file in it
  exit 4
  ostrivan-card: new/ is a folder: name a file in it
  exit 4
  $ ostrivan-card export "$demo" --output $'new\nline'
  ostrivan-card: the output name cannot hold the control character U+000A
  [2]
  $ ls -A out; ls; test -e "$LOG" || echo "nothing logged"
  data
  out
  nothing logged

A card image that cannot be opened, or is not a regular file, is named with the reason.

  $ mkfifo pipe; for image in missing.card out pipe; do ostrivan-card export "$image"; echo "exit $?"; done
  ostrivan-card: Cannot open card image missing.card: No such file or directory
  exit 3
  ostrivan-card: Cannot open card image out: Is a directory
  exit 3
  ostrivan-card: Cannot open card image pipe: not a regular file
  exit 3

Every reader is listed, whatever the length of the list; a card file whose name holds a control
character is not, and doctor says why.

  $ for i in $(seq 40); do cp "$demo" "$CARDS/2026-12-06_14-07-09 Virtual PCD 00 00, the herd read $i.card"; done
  $ cp "$demo" "$CARDS/"$'new\nline.card'
  $ ostrivan-card readers | wc -lc
       41    2236
  $ ostrivan-card doctor | grep skipped | sed "s|$PWD|.|"
  Card file skipped: ./data/Trelk/Ostrivan/cards/new?line.card: its name holds a control character

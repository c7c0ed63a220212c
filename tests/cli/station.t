ostrivan-card status tells at once whether a card is in a reader; doctor shows what the station
has. Neither waits for a card or connects to one.

  $ . "$TESTS/support/transcript.sh"
  $ ostrivan-card status --reader demo
  Hint: the PC/SC service is not running; start it with: sudo systemctl start pcscd
  [3]
  $ ostrivan-card doctor | sed "s|$PWD|.|; s|$VERSION|VERSION|"
  Ostrivan VERSION
  The PC/SC service is not running; start it with: sudo systemctl start pcscd
  Data folder ./data/Trelk/Ostrivan: can be written
  Cards folder ./data/Trelk/Ostrivan/cards: can be written
  Archive folder ./data/Trelk/Ostrivan/archive: missing
  Settings folder ./config/Trelk: missing
  Log file: ./data/Trelk/Ostrivan/log.txt
  [3]
  $ card demo "$SOURCE/data/demo-card.txt"; ostrivan-card status; ostrivan-card status --reader demo

With the PC/SC service, its readers come first.

  $ start_pcscd
  $ ostrivan-card status
  Hint: there is no card in the reader Virtual PCD 00 00; put one in and try again
  [3]
  $ insert_card "$SOURCE/data/demo-card.txt"; ostrivan-card status
  $ ostrivan-card status --reader "Virtual PCD 00 01"
  Hint: there is no card in the reader Virtual PCD 00 01; put one in and try again
  [3]
  $ ostrivan-card doctor | sed "s|$PWD|.|; s|$VERSION|VERSION|"
  Ostrivan VERSION
  The PC/SC service answers
  Reader Virtual PCD 00 00: card present, answer to reset 3B 8F 80 01 80 4F 0C A0 00 00 03 06 0E C0 C1 00 00 00 00 67
  Reader Virtual PCD 00 01: no card
  Card file demo: card present (./data/Trelk/Ostrivan/cards/demo.card)
  Data folder ./data/Trelk/Ostrivan: can be written
  Cards folder ./data/Trelk/Ostrivan/cards: can be written
  Archive folder ./data/Trelk/Ostrivan/archive: missing
  Settings folder ./config/Trelk: missing
  Log file: ./data/Trelk/Ostrivan/log.txt

A read names the reader it chose; one from a reader without a card says what to do. The
companion logs where the window's first run would, and writes no settings.

  $ ostrivan-card read 2>&1 >/dev/null | head -n 1
  Reader: Virtual PCD 00 00
  $ ostrivan-card read --reader "Virtual PCD 00 01" 2>&1 >/dev/null | sed -n 2,3p
  Card not inserted!
  Hint: there is no card in the reader Virtual PCD 00 01; put one in and try again
  [3]
  $ logged | head -n 2; test -e "$SETTINGS" || echo "no settings file"
  Opening file -
  Reading card
  no settings file

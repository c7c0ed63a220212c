Cards read through the real PC/SC daemon, its virtual reader and the tests' virtual card give
the same rows and lines as the same cards exported from their text.

  $ . "$TESTS/support/transcript.sh"
  $ start_pcscd
  $ reader="Virtual PCD 00 00"
  $ card demo "$SOURCE/data/demo-card.txt"; ostrivan-card readers
  Virtual PCD 00 00
  Virtual PCD 00 01
  demo
  $ read_card() { ostrivan-card read --reader "$reader" --verbose "$@" 2>&1; }
  $ same_as_export() {
  >   for text in "$TESTS"/data/cards/*.txt; do
  >     change_card "$text"
  >     diff <(ostrivan-card export --text "$text" --verbose 2>&1) <(read_card | sed '/^Read [0-9]* rows\?:/d') >/dev/null || echo "${text##*/} differs"
  >   done
  > }

A read asks for four blocks at a time: a full card takes 128 commands. A reader that refuses
longer reads is asked for 64 bytes from then on: one refused command for each read.

  $ insert_card "$SOURCE/data/demo-card.txt"; same_as_export
  $ change_card "$TESTS/data/cards/farm.txt"; : >card.log; read_card >/dev/null
  $ grep -c '^read' card.log; grep -c '^read [0-9]* 256$' card.log
  128
  128
  $ insert_card "$SOURCE/data/demo-card.txt" --refuse-long-reads; same_as_export
  $ grep -c '^refused' card.log; ls "$TESTS"/data/cards/*.txt | wc -l; grep -c '^read .* 256$' card.log || true
  11
  11
  0

A format writes the empty card at address 0 and leaves the rest; the card reads back formatted.

  $ insert_card "$TESTS/data/cards/farm.txt"
  $ ostrivan-card format --reader "$reader" --yes
  Formatting Card
  Card Connect
  Disconnect card
  Finished!
  $ od -A d -t x1 -N 24 card.image
  0000000 20 01 20 21 0c 4f 53 54 52 49 56 41 4e 20 30 30
  0000016 37 ff 00 47 41 54 45 2d
  0000024
  $ read_card | grep -v '^Card\[' | tr -d '\r'
  Opening file -
  RecType,Time,Date,Tag Nr,Invoice Nr,Location Id,Location Name,Weight,Gate Nr,Device Id,Version,
  Card Connect
  Reading card
  Card,,,,,,,,, 32,,
  Application,,,,,,,,,,OSTRIVAN 007,
  Disconnect card
  Closing file -
  Finished!
  Read 2 rows: Card 1, Application 1. Tags 0.

A card pulled out during a read: the whole rows before stay, a hint says when it left, and the
next read is whole again.

  $ farm="$TESTS/data/cards/farm.txt"
  $ insert_card "$farm" --drop-after 10 --rejoin-ms 1500
  $ read_card --output part.csv | tail -n 5
  ASEMemReadDataOnly  49 Error - An unknown error has occurred
  Hint: the card left the reader after 40 blocks; the rows read before are in the export file and the archive
  Closing file part.csv
  Finished!
  Read 126 rows: Card 1, Application 1, Device 1, Draft 35, Origin 36, Location 17, Receiver 35. Tags 54. Weight 265 to 836, mean 555.
  [3]
  $ wait_for '! ostrivan-card status --reader "$reader" 2>/dev/null'; wait_for 'ostrivan-card status --reader "$reader" 2>/dev/null'
  $ ostrivan-card read --reader "$reader" --output whole.csv 2>/dev/null
  $ ostrivan-card export --text "$farm" 2>/dev/null | cmp - whole.csv
  $ wc -l <part.csv; cmp -n "$(stat -c %s part.csv)" part.csv whole.csv && tail -c 2 part.csv | od -c | head -n 1
  127
  0000000  \r  \n

The service stopping during a read: "Card not inserted!" after the blocks read before; once it is
back, the card reads whole.

  $ insert_card "$farm" --drop-after 12 --kill-pid "$PCSCD"
  $ read_card >lines; wait "$PCSCD"; grep -c '^Card\[' lines; tail -n 5 lines
  48
  Card not inserted!
  Hint: the PC/SC service is not running; start it with: sudo systemctl start pcscd
  Closing file -
  Finished!
  Read 151 rows: Card 1, Application 1, Device 1, Draft 43, Origin 44, Location 21, Receiver 40. Tags 64. Weight 265 to 848, mean 555.
  $ start_pcscd; insert_card "$farm"
  $ ostrivan-card read --reader "$reader" 2>/dev/null | cmp - whole.csv

Every read that got a block keeps the bytes it read as a card image in the archive, named after
the time and the reader; the newest 2,000 images are kept.

  $ . "$TESTS/support/transcript.sh"
  $ ARCHIVE=$DATA/archive
  $ card demo "$SOURCE/data/demo-card.txt"; card long "$TESTS/data/cards/value-too-long.txt"
  $ for reader in demo long nothing; do ostrivan-card read --reader "$reader" >/dev/null 2>&1; done
  [3]
  $ ls "$ARCHIVE" | sed -E 's/^[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2} /STAMP /'
  STAMP demo.card
  STAMP long.card
  $ cmp -n 320 "$ARCHIVE"/*demo.card "$CARDS/demo.card"; stat -c %s "$ARCHIVE"/*demo.card "$ARCHIVE"/*long.card
  320
  128

The oldest images go, other files stay.

  $ /usr/bin/python3 -c '
  > import os, sys
  > for i in range(2000):
  >     name = f"{sys.argv[1]}/2004-01-01_00-00-00 card {i}.card"
  >     open(name, "w").close(); os.utime(name, (1e9 + i, 1e9 + i))' "$ARCHIVE"
  $ touch -d 2001-01-01 "$ARCHIVE/notes.card"
  $ ostrivan-card read --reader demo >/dev/null 2>&1; ls "$ARCHIVE" | wc -l
  2001
  $ ls "$ARCHIVE" | grep -e ' card [0-3]\.card' -e notes.card
  2004-01-01_00-00-00 card 3.card
  notes.card

An archive that cannot be written is told last, in the status list only.

  $ rm -r "$ARCHIVE"; touch "$ARCHIVE"; ostrivan-card setting "Log File" "$LOG"
  $ ostrivan-card read --reader demo 2>&1 >/dev/null | tail -n 3 | sed "s|$PWD|.|"
  Finished!
  Read 13 rows: Card 1, Application 1, Device 1, Location 1, Draft 3, Origin 3, Receiver 2, Print 1. Tags 3. Weight 397 to 488, mean 446.
  The card read could not be kept in ./data/Trelk/Ostrivan/archive: Not a directory
  $ grep -c 'could not be kept' "$LOG"
  0
  [1]

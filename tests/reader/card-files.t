Card files in the cards folder are readers with a card in them, listed after the PC/SC readers
(here none: no PC/SC service runs), in name order; only regular files named NAME.card count.

  $ . "$TESTS/support/transcript.sh"
  $ card demo "$SOURCE/data/demo-card.txt"
  $ printf 'B%.0s' $(seq 40000) >"$CARDS/cow.card"
  $ touch "$CARDS/notes.txt"; mkdir "$CARDS/shed.card"; mkfifo "$CARDS/pipe.card"
  $ ostrivan-card readers
  cow
  demo
  $ timeout 5 ostrivan-card read --reader pipe >/dev/null
  Opening file -
  Card not inserted!
  Hint: the PC/SC service is not running; start it with: sudo systemctl start pcscd
  Closing file -
  Finished!
  [3]

A file shorter than the card reads as erased memory after its end.

  $ printf '\x11%.0s' $(seq 70) >"$CARDS/short.card"
  $ ostrivan-card read --reader short --verbose 2>&1 >/dev/null | grep -A1 'Card\[00 064\]'
  Card[00 064]=111111111111FFFFFFFFFFFFFFFFFFFF
  Card[00 128]=FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
  [5]

A format writes the empty card and keeps every other byte of the file, and its mode.

  $ chmod 640 "$CARDS/cow.card"
  $ ostrivan-card format --reader cow --yes
  Formatting Card
  Card Connect
  Disconnect card
  Finished!
  $ od -A d -t x1 -N 24 "$CARDS/cow.card"; stat -c '%s %a' "$CARDS/cow.card"; tail -c 3 "$CARDS/cow.card"; echo
  0000000 20 01 20 21 0c 4f 53 54 52 49 56 41 4e 20 30 30
  0000016 37 ff 00 42 42 42 42 42
  0000024
  40000 640
  BBB

A card file without write permission is a card that does not take the write, even for root.

  $ chmod 444 "$CARDS/demo.card"; cp "$CARDS/demo.card" before
  $ ostrivan-card format --reader demo --yes
  Formatting Card
  Card Connect
  ASEMemWrite()  32 Error - The smart card does not support the current function
  Finished!
  [3]
  $ cmp before "$CARDS/demo.card"

A format of a file far larger than the card goes through it piece by piece and keeps its tail.

  $ truncate -s 1M "$CARDS/big.card"
  $ for at in 40000 524288 1048575; do printf x | dd of="$CARDS/big.card" bs=1 seek=$at conv=notrunc status=none; done
  $ ostrivan-card format --reader big --yes 2>/dev/null
  $ for at in 0 18 40000 524288 1048575; do od -A d -t x1 -j $at -N 1 "$CARDS/big.card" | head -n 1; done; stat -c %s "$CARDS/big.card"
  0000000 20
  0000018 00
  0040000 78
  0524288 78
  1048575 78
  1048576

A card written as text becomes a card image: one item a line, memory elsewhere erased.

  $ . "$TESTS/support/transcript.sh"
  $ image() { ostrivan_make_card - card.image && od -A d -t x1 -N "${1:-48}" card.image; }
  $ image <<'CARD'
  > Card 32
  > Origin 123456
  > number 0
  >   Draft "A1"  # a cow
  > Print ""
  > time 2023-12-31 09:05:00
  > tag "x"
  > text "Hill"
  > item 7 a1 FF
  > end
  > CARD
  0000000 20 01 20 24 03 01 e2 40 01 01 00 23 02 41 31 27
  0000016 00 03 06 23 12 31 09 05 00 10 01 78 04 04 48 69
  0000032 6c 6c 07 02 a1 ff ff 00 ff ff ff ff ff ff ff ff
  0000048

"at" puts the next item at a card address, "repeat" takes an item line that many times.

  $ image 24 <<'CARD'
  > repeat 3 tag "A"
  > at 16
  > item 05 01
  > repeat 0 end
  > CARD
  0000000 10 01 41 10 01 41 10 01 41 ff ff ff ff ff ff ff
  0000016 05 01 01 ff ff ff ff ff
  0000024

A line that is not an item is named, and so is a card that is full.

  $ for text in 'Card 32\nCard x' '\n\nDraft A1' 'time 2024-13-01 00:00:00' 'number 4294967296' \
  >     'end 1' 'item' 'Sheep "x"' 'at 32768' 'repeat x end' 'repeat 16385 end'; do
  >   printf "$text\n" | ostrivan_make_card - card.image
  > done
  -: line 2: not an item: Card x
  -: line 3: not an item: Draft A1
  -: line 1: not an item: time 2024-13-01 00:00:00
  -: line 1: not an item: number 4294967296
  -: line 1: not an item: end 1
  -: line 1: not an item: item
  -: line 1: not an item: Sheep "x"
  -: line 1: not an address on the card: 32768
  -: line 1: not a count: x
  -: line 1: the card is full
  [1]
  $ ostrivan_make_card missing.txt card.image
  missing.txt: No such file or directory
  [1]
  $ echo end | ostrivan_make_card - /dev/null/card.image
  /dev/null/card.image: Not a directory
  [1]
  $ ostrivan_make_card -
  usage: ostrivan_make_card TEXT IMAGE
  [2]

A text past 4 MiB, or with a line past 64 KiB, is no card text: it is refused as soon as it
passes, and a message quotes at most 80 characters of it.

  $ ostrivan-card export --text /dev/zero
  ostrivan-card: /dev/zero: line 1 is longer than 64 KiB: ????????????????????????????????????????????????????????????????????????????????...
  [2]
  $ yes 'tag "A"' | ostrivan-card export --text -
  ostrivan-card: -: longer than 4 MiB, which no card text is
  [2]
  $ printf 'Sheep "%0100d"\n' 0 | ostrivan_make_card - card.image
  -: line 1: not an item: Sheep "0000000000000000000000000000000000000000000000000000000000000000000000000...
  [1]

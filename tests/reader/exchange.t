One exchange with a card: the blocks it reads, up to the one with the end marker, and the lines
it shows, in the order they come: the rows of a block's items before its dump line.

  $ . "$TESTS/support/transcript.sh"
  $ exchange() { ostrivan-card export --text "$TESTS/data/cards/$1.txt" --verbose 2>&1 | tr -d '\r'; }

A formatted card takes one block; what lies after its end marker is never read as content.

  $ exchange formatted
  Opening file -
  RecType,Time,Date,Tag Nr,Invoice Nr,Location Id,Location Name,Weight,Gate Nr,Device Id,Version,
  Card Connect
  Reading card
  Card,,,,,,,,, 32,,
  Application,,,,,,,,,,OSTRIVAN 007,
  Card[00 000]=200120210CO S T R I V A N 200 0 
  Disconnect card
  Closing file -
  Finished!

An item is handed on once the block with its last byte, and one byte after it, is read.

  $ exchange split
  Opening file -
  RecType,Time,Date,Tag Nr,Invoice Nr,Location Id,Location Name,Weight,Gate Nr,Device Id,Version,
  Card Connect
  Reading card
  Card,,,,,,,,, 1,,
  Card[00 000]=20010104212E2E2E2E2E2E2E2E2E2E2E
  Application,,,,,,,,,,A1,
  Card[00 064]=02A 1 04212E2E2E2E2E2E2E2E2E2E2E
  Application,,,,,,,,,,A2,
  Card[00 128]=A 2 04212E2E2E2E2E2E2E2E2E2E2E2E
  Application,,,,,,,,,,ABCDE,
  Card[00 192]=C D E 04212E2E2E2E2E2E2E2E2E2E2E
  Application,,,,,,,,,,END1,
  Card[00 256]=FF00FFFFFFFFFFFFFFFFFFFFFFFFFFFF
  Disconnect card
  Closing file -
  Finished!

The cells of a dump line: 00 to 0F and 10 to 2F in hexadecimal, the characters 0 to z as
themselves, the rest in hexadecimal.

  $ exchange block-cells
  Opening file -
  RecType,Time,Date,Tag Nr,Invoice Nr,Location Id,Location Name,Weight,Gate Nr,Device Id,Version,
  Card Connect
  Reading card
  Application,,,,,,,,,,\x0f\x10/0z{\x05A \xff\x00, (esc)
  Card[00 000]=210B0F102F0 z 7B05A 20FF00FF00FF
  Disconnect card
  Closing file -
  Finished!

An end marker in the last two bytes is never found: 512 blocks, then the failure.

  $ exchange end-in-last-two-bytes | grep -c '^Card\['
  512
  [3]
  $ exchange end-in-last-two-bytes | tail -n 5
  Card[32 704]=10001000100010001000100010001000
  Error! No end of file found on card!
  ASEMemReadDataOnly -2 
  Closing file -
  Finished!
  [3]
  $ ostrivan-card export --text "$TESTS/data/cards/end-in-last-two-bytes.txt" >/dev/null 2>&1
  [3]

A value too long for an item ends the read where it is decoded: no disconnect, no closing.

  $ exchange value-too-long
  Opening file -
  RecType,Time,Date,Tag Nr,Invoice Nr,Location Id,Location Name,Weight,Gate Nr,Device Id,Version,
  Card Connect
  Reading card
  Card,,,,,,,,, 1,,
  Card[00 000]=20010104212E2E2E2E2E2E2E2E2E2E2E
  ** Error in cmdReadCard_Click() VB error = Subscript out of range
  [5]
  $ ostrivan-card export --text "$TESTS/data/cards/value-too-long.txt" >/dev/null 2>&1
  [5]
  $ exchange erased | tail -n 3
  Card[00 128]=FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
  Card[00 192]=FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
  ** Error in cmdReadCard_Click() VB error = Subscript out of range
  [5]

The log gets the start of the read and every block whole.

  $ card formatted "$TESTS/data/cards/formatted.txt"
  $ ostrivan-card setting "Log File" "$LOG"
  $ ostrivan-card read --reader formatted 2>/dev/null | wc -l
  3
  $ logged
  Opening file -
  Reading card
  Card[00 000]=200120210C4F5354524956414E20303037FF0023094945303030303030310306240315070211010201C4010102FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF

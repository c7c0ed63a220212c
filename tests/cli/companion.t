ostrivan-card does what the window does, with the window's settings, log, card files and
archive; status lines go to standard error.

  $ . "$TESTS/support/transcript.sh"
  $ card demo "$SOURCE/data/demo-card.txt"
  $ ostrivan-card setting "Log File" "$LOG"
  $ ostrivan-card read --reader demo >demo.csv
  Opening file -
  Card Connect
  Reading card
  Disconnect card
  Closing file -
  Finished!
  Read 13 rows: Card 1, Application 1, Device 1, Location 1, Draft 3, Origin 3, Receiver 2, Print 1. Tags 3. Weight 397 to 488, mean 446.
  $ cmp demo.csv "$TESTS/data/demo-card.csv"
  $ tr -d '\r' <"$TESTS/data/demo-card-log.txt" | sed '1d; 2s/data.csv/-/' | diff - <(logged)
  $ ls "$DATA/archive" | sed -E 's/^[0-9]{4}(-[0-9]{2}){2}_[0-9]{2}(-[0-9]{2}){2} //'; wc -c <"$DATA"/archive/*
  demo.card
  320

An export of a card file or of a card written as text is a read without log or archive.

  $ ostrivan-card export "$CARDS/demo.card" 2>/dev/null | cmp - demo.csv
  $ ostrivan-card export --text - <"$SOURCE/data/demo-card.txt" 2>/dev/null | cmp - demo.csv
  $ ostrivan-card export "$SOURCE/data/demo-card.txt" 2>&1 | sed "s|$SOURCE|.|g"
  ostrivan-card: ./data/demo-card.txt looks like a card written as text: export it with --text ./data/demo-card.txt
  [2]
  $ logged | wc -l; ls "$DATA/archive" | wc -l
  7
  1

The file name gets ".csv" when its last part has no dot; an existing file is replaced only
with --force.

  $ for name in data report. my.data sub.d/x; do mkdir -p out/sub.d; ostrivan-card read --reader demo --output "out/$name" 2>/dev/null; done; ls -R out
  out:
  data.csv
  my.data
  report.
  sub.d
  
  out/sub.d:
  x.csv
  $ ostrivan-card read --reader demo --output out/data.csv
  ostrivan-card: out/data.csv exists; --force replaces it
  [4]
  $ echo old >out/data.csv; ostrivan-card read --reader demo --output out/data --force 2>/dev/null; cmp out/data.csv demo.csv

Every way a command ends has its exit status; the first failure decides.

  $ ostrivan-card read --reader nothing >/dev/null
  Opening file -
  Card not inserted!
  Hint: the PC/SC service is not running; start it with: sudo systemctl start pcscd
  Closing file -
  Finished!
  [3]
  $ ostrivan-card read --reader demo --output no/such/folder.csv
  Opening file folder.csv
  ** Error in cmdReadCard_Click() VB error = Cannot create file no/such/folder.csv: No such file or directory
  [4]
  $ ostrivan-card read --reader demo 2>&1 >/dev/full | grep 'Cannot write'
  ** Error in cmdReadCard_Click() VB error = Cannot write file -: No space left on device
  [4]
  $ printf 'repeat 10000 Card 32\nend\n' | ostrivan-card export --text - 2>/dev/null | head -c 1
  R (no-eol)
  [4]
  $ ostrivan-card export none.card >/dev/null 2>&1
  [3]
  $ ostrivan-card --version | sed "s|$VERSION|VERSION|"
  Ostrivan VERSION
  $ ostrivan-card bogus 2>&1 | head -n 1
  ostrivan-card: A subcommand is required
  [2]
  $ ostrivan-card read --bogus 2>&1 | head -n 1
  ostrivan-card: The following argument was not expected: --bogus
  [2]
  $ ostrivan-card read --reader >/dev/null 2>&1
  [2]
  $ ostrivan-card format 2>&1 | head -n 1
  ostrivan-card: --reader is required
  [2]
  $ ostrivan-card format --reader demo 2>&1 | head -n 1
  ostrivan-card: format asks before it writes, and there is no terminal to ask on: give --yes to format without asking
  [2]
  $ ostrivan-card format --reader demo </dev/null >/dev/null 2>&1
  [2]

Format asks on the terminal, unless --yes; a read shows its progress there.

  $ on_terminal() { echo "$2" | script -qec "$1" /dev/null | tr -d '\r'; return "${PIPESTATUS[1]}"; }
  $ on_terminal 'ostrivan-card format --reader demo' no; echo " exit $?"
  no
  Format Card. Are you sure? Will delete ALL records!! [ok/cancel]  exit 1
  $ ostrivan_make_card "$SOURCE/data/demo-card.txt" demo.card; cmp demo.card "$CARDS/demo.card"
  $ on_terminal 'ostrivan-card read --reader demo --output out/t' | grep -c 'Reading card: 5 blocks of at most 512'
  1

Without card files and without the PC/SC service there is no reader at all.

  $ rm "$CARDS"/*; ostrivan-card readers
  ASEListReadersLenBufOnly()  46 Error - The smart card resource manager has shut down
  Hint: the PC/SC service is not running; start it with: sudo systemctl start pcscd
  ASEListReaders()  46 Error - The smart card resource manager has shut down
  [3]
  $ ostrivan-card read >/dev/null
  ASEListReadersLenBufOnly()  46 Error - The smart card resource manager has shut down
  Hint: the PC/SC service is not running; start it with: sudo systemctl start pcscd
  ASEListReaders()  46 Error - The smart card resource manager has shut down
  [3]

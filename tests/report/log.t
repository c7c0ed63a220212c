The log file named by the "Log File" setting gets a time-stamped line for every logged status
line and every block read; an empty setting writes none.

  $ . "$TESTS/support/transcript.sh"
  $ card demo "$SOURCE/data/demo-card.txt"
  $ read_demo() { ostrivan-card read --reader demo >/dev/null 2>&1; }
  $ ostrivan-card setting "Log File" ""; read_demo; ls "$DATA"
  archive
  cards
  herd-book.sqlite

The first line makes the file; later ones go after what it holds; a line is the time stamp,
blanks up to column 29, the text, CR LF.

  $ ostrivan-card setting "Log File" "$LOG"; printf 'kept\r\n' >"$LOG"; read_demo
  $ head -n 3 "$LOG" | cat -A
  kept^M$
  [0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} {9}Opening file -\^M\$ (re)
  [0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} {9}Reading card\^M\$ (re)
  $ ostrivan-card setting "Log File" "$DATA/other.txt"; read_demo; for log in "$LOG" "$DATA/other.txt"; do wc -l <"$log"; done
  8
  7

A log that cannot be written is told once, in the status list only; the read goes on.

  $ touch blocker; ostrivan-card setting "Log File" "$PWD/blocker/log.txt"
  $ ostrivan-card read --reader demo 2>&1 >demo.csv | sed "s|$PWD|.|"
  Opening file -
  Log file ./blocker/log.txt cannot be written: Not a directory
  Card Connect
  Reading card
  Disconnect card
  Closing file -
  Finished!
  Read 13 rows: Card 1, Application 1, Device 1, Location 1, Draft 3, Origin 3, Receiver 2, Print 1. Tags 3. Weight 397 to 488, mean 446.
  $ cmp demo.csv "$TESTS/data/demo-card.csv"

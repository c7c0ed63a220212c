Every read adds its weighings to the herd book when it archives its image, quietly: no log line,
and a book that cannot be used never fails a read, which one status line says.

  $ . "$TESTS/support/transcript.sh"
  $ card crate "$TESTS/data/cards/farm.txt"; card office "$TESTS/data/weighings/round1.txt"
  $ book="$DATA/herd-book.sqlite"; ostrivan-card setting "Log File" "$LOG"
  $ ostrivan-card read --reader crate >/dev/null 2>&1; rm "$DATA"/archive/*
  $ ostrivan-card history | wc -l
  454
  $ grep -ci "herd" "$LOG"
  0
  [1]
  $ mv "$book" kept.sqlite; mkdir "$book"
  $ ostrivan-card read --reader office 2>&1 >/dev/null | tail -n 1 | sed "s|$PWD|.|"
  The herd book ./data/Trelk/Ostrivan/herd-book.sqlite cannot be used: unable to open database file
  $ grep -ci "herd book" "$LOG"
  0
  [1]
  $ rmdir "$book"; mv kept.sqlite "$book"

A book of a newer version is named, and left as it is.

  $ cp "$book" newer.sqlite; /usr/bin/python3 -c 'import sqlite3, sys; sqlite3.connect(sys.argv[1]).execute("pragma user_version = 2")' newer.sqlite
  $ mkdir -p newer/Trelk/Ostrivan; cp newer.sqlite newer/Trelk/Ostrivan/herd-book.sqlite
  $ XDG_DATA_HOME=$PWD/newer ostrivan-card history 2>&1 >/dev/null | head -n 1 | sed "s|$PWD|.|"
  ostrivan-card: The herd book ./newer/Trelk/Ostrivan/herd-book.sqlite cannot be used: it was written by a newer version of Ostrivan
  [4]
  $ cmp newer.sqlite newer/Trelk/Ostrivan/herd-book.sqlite

Programs killed while they read and add, at any point, leave a book that opens and gives the
table a clean run gives; readers and the history may run at once, and lose nothing.

  $ for i in $(seq 30); do
  >   ostrivan-card read --reader crate >/dev/null 2>&1 & sleep "0.00$((RANDOM % 10))"; kill -KILL $! 2>/dev/null; wait $! 2>/dev/null
  > done; true
  $ /usr/bin/python3 -c 'import sqlite3, sys; print(sqlite3.connect(sys.argv[1]).execute("pragma integrity_check").fetchone()[0])' "$book"
  ok
  $ ostrivan-card read --reader office >/dev/null 2>&1 & ostrivan-card read --reader crate >/dev/null 2>&1 & ostrivan-card history >/dev/null; wait
  $ ostrivan-card history >all.csv; wc -l <all.csv
  457
  $ clean() { XDG_DATA_HOME=$PWD/clean ostrivan-card history --archive "$DATA/archive"; }
  $ mkdir clean; ostrivan-card read --reader office >/dev/null 2>&1; clean | cmp - all.csv

A signal while history writes its workbook leaves no temporary file beside it.

  $ for i in $(seq 10); do
  >   ostrivan-card history --output w.xlsx --force >/dev/null 2>&1 & sleep "0.0$((RANDOM % 5))"; kill -INT $! 2>/dev/null; wait $!
  > done; ls -A | grep -c '^\.w\.xlsx'
  0
  [1]

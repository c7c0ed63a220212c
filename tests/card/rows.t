The rows of a card's records, as the export holds them (the header line left out).

  $ . "$TESTS/support/transcript.sh"
  $ rows() { ostrivan-card export --text "$TESTS/data/cards/$1.txt" 2>/dev/null | tail -n +2; }
  $ rows records | tr -d "\r"
  Card,,,,,,,,, 32,,
  Application,,,,,,,,,,OSTRIVAN 007,
  Card,,,,,,,,, 256,,
  Origin,09:05:00,31/12/23,, 123456,L7,,,,,,
  Origin,13:45:59,02/01/24,A1, 123456,L7,,,,,,
  Origin,14:00:01,02/01/24,A2, 123456,L7,,,,,,
  Receiver,09:05:00,31/12/23,, 1,L,,,,,,
  Receiver,14:00:01,02/01/24,B, 1,L,,,,,,
  Origin,09:05:00,31/12/23,, 9,L,,,,,,
  Origin,13:45:59,02/01/24,A, 9,L,,,,,,
  Origin,13:45:59,02/01/24,B, 9,L,,,,,,
  Draft,09:05:00,31/12/23,A1,,,, 450, 2,,,
  Draft,09:05:00,31/12/23,numbers elsewhere,,,,,,,,
  Draft,09:05:00,31/12/23,gate only,,,,, 1,,,
  Device,09:05:00,31/12/23,,,,,,,D1,v2,
  Device,09:05:00,31/12/23,,,,,,,a number where the version goes,,
  Location,,,,,L1,Hill,,,,,
  Location,,,,,name at position 3: not shown,,,,,,
  Print,09:05:00,31/12/23,,,,,,,,,
  Print,,,A9,,,,,,,,
  [5]
  $ rows values | cat -A
  Card,,,,,,,,, 0,,^M$
  Card,,,,,,,,, 7,,^M$
  Card,,,,,,,,, 16777215,,^M$
  Card,,,,,,,,, 2147483647,,^M$
  Card,,,,,,,,, 2147483648,,^M$
  Card,,,,,,,,, 4294967295,,^M$
  Card,,,,,,,,, 3295831406,,^M$
  Application,,,,,,,,,,abcdefghijklmnopqrstuvwxyz0123456,^M$
  Draft,09:05:00,31/12/23,M-DM-^@M-^?,,,, 1, 2,,,^M$
  Location,,,,,"a,b","say ""hi""^M$
  next",,,,,^M$
  Location,,,,,LF,"a$
  b",,,,,^M$
  Print,1E:2D:FF,00/B/1A,,,,,,,,,^M$
  Print,A0:A:01,10/F/99,,,,,,,,,^M$
  Print,64:65:66,63/02/01,,,,,,,,,^M$

After a read one line, not logged, sums up its rows: per record type, tag numbers, those seen
twice in one record type, weights. An export shows none.

  $ card herd "$TESTS/data/cards/herd.txt"; card formatted "$TESTS/data/cards/formatted.txt"
  $ for reader in herd formatted; do ostrivan-card read --reader $reader 2>&1 >/dev/null | tail -n 1; done
  Read 18 rows: Draft 15, Origin 2, Print 1. Tags 8. Seen twice: UK1230, UK1231, UK1232, UK1233, UK1234 and 2 more. Weight 377 to 508, mean 434.
  Read 2 rows: Card 1, Application 1. Tags 0.
  $ ostrivan-card export --text "$TESTS/data/cards/herd.txt" 2>&1 >/dev/null | tail -n 1
  Finished!

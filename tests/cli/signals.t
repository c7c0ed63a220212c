A signal ends a read, an export or a format the way a failure would: whole CSV rows, a completed
workbook, the archive of the blocks read and no temporary file; then the status is 128 + N, as
shells expect. The virtual card takes the time of a slow reader, so that the signal comes in the
middle of the read.

  $ . "$TESTS/support/transcript.sh"
  $ start_pcscd
  $ reader="Virtual PCD 00 00"
  $ insert_card "$TESTS/data/cards/farm.txt" --command-ms 20
  $ stopped_read() {
  >   : >card.log
  >   ostrivan-card read --reader "$reader" --output "$2" 2>&1 &
  >   wait_for '[ "$(grep -c ^read card.log)" -ge 8 ]'
  >   kill -"$1" $!; wait $!
  > }
  $ mkdir out
  $ stopped_read INT out/k.csv
  Opening file k.csv
  Card Connect
  Reading card
  ** Error in cmdReadCard_Click() VB error = Stopped by SIGINT
  Read Card cancelled: [0-9]+ rows kept (re)
  [130]
  $ awk '!/\r$/' out/k.csv | wc -l; [ "$(wc -l <out/k.csv)" -gt 20 ] && echo "rows kept"
  0
  rows kept
  $ size=$(stat -c %s "$DATA"/archive/*); [ $((size % 64)) -eq 0 ] && [ "$size" -lt 32768 ] && echo "blocks read kept"
  blocks read kept
  $ stopped_read TERM out/k.xlsx
  Opening file k.xlsx
  Card Connect
  Reading card
  ** Error in cmdReadCard_Click() VB error = Stopped by SIGTERM
  Read Card cancelled: [0-9]+ rows kept (re)
  [143]
  $ workbook.py out/k.xlsx | sed -n 2p; ls -A out; ls "$DATA/archive" | wc -l
  s:Card |  |  |  |  |  |  |  |  | s: 32 | 
  k.csv
  k.xlsx
  2

A format is never cut between its write and its check: a signal during the write is obeyed after
it, and the last line says what became of the card.

  $ insert_card "$TESTS/data/cards/farm.txt" --command-ms 300
  $ ostrivan-card format --reader "$reader" --yes 2>&1 & wait_for 'grep -q ^write card.log'; kill -HUP $!; wait $!
  Formatting Card
  Card Connect
  Disconnect card
  Finished!
  Stopped by SIGHUP: the card was left formatted
  [129]
  $ od -A n -t x1 -w19 -N 19 card.image
   20 01 20 21 0c 4f 53 54 52 49 56 41 4e 20 30 30 37 ff 00


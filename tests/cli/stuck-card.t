A card that stops answering never holds the companion: a command the reader does not answer
within the "Card Timeout" setting fails as a card error does, with its header, rows and archive
kept, and a signal ends any read at once.

  $ . "$TESTS/support/transcript.sh"
  $ start_pcscd
  $ reader="Virtual PCD 00 00"
  $ farm="$TESTS/data/cards/farm.txt"
  $ ostrivan-card setting "Card Timeout" 1

A card that answers its reset but no command.

  $ insert_card "$farm" --stall-after 0
  $ ostrivan-card read --reader "$reader" --output mute.csv
  Opening file mute.csv
  Card Connect
  Reading card
  The card reader did not answer for 1 second
  Hint: unplug the reader and plug it in again; if it stays busy, restart the PC/SC service
  Closing file mute.csv
  Finished!
  [3]
  $ cat mute.csv
  RecType,Time,Date,Tag Nr,Invoice Nr,Location Id,Location Name,Weight,Gate Nr,Device Id,Version,\r (esc)

The reader stays busy with the command it never finished: the card is held, and said to be.

  $ ostrivan-card status --reader "$reader"
  Hint: another program is using the card, or one that used it was stopped: close it, or restart the PC/SC service
  [3]
  $ ostrivan-card doctor | grep "^Reader $reader"; ostrivan-card read --reader "$reader" 2>&1 >/dev/null | sed -n 4,5p
  Reader Virtual PCD 00 00: card present, held by another program, answer to reset 3B 8F 80 01 80 4F 0C A0 00 00 03 06 0E C0 C1 00 00 00 00 67
  ASEMemConnect()  42 Error - The smart card cannot be accessed because of other outstanding connections
  Hint: another program is using the card, or one that used it was stopped: close it, or restart the PC/SC service
  [3]

A card that stalls after 50 commands: the rows and blocks read before are kept.

  $ insert_card "$farm" --stall-after 50
  $ ostrivan-card read --reader "$reader" --output stalled.csv 2>&1 | tail -n 5
  The card reader did not answer for 1 second
  Hint: unplug the reader and plug it in again; if it stays busy, restart the PC/SC service
  Closing file stalled.csv
  Finished!
  Read 627 rows: Card 1, Application 1, Device 1, Draft 179, Origin 180, Location 89, Receiver 176. Tags 268. Weight 261 to 1016, mean 619.
  [3]
  $ ls "$DATA/archive" | wc -l; wc -c <"$DATA"/archive/*
  1
  12800

A signal during a command that is not answered ends the read at once; so does one during the
wait for a card. The setting's default leaves a reader 5 seconds to answer.

  $ ostrivan-card setting "Card Timeout" ""
  $ insert_card "$farm" --stall-after 20
  $ ostrivan-card read --reader "$reader" --output stopped.csv 2>&1 & wait_for 'grep -q "^no answer" card.log'; kill -INT $!; wait $!
  Opening file stopped.csv
  Card Connect
  Reading card
  ** Error in cmdReadCard_Click() VB error = Stopped by SIGINT
  Read Card cancelled: 251 rows kept
  [130]
  $ ostrivan-card read --reader "Virtual PCD 00 01" 2>lines >/dev/null & wait_for 'grep -q Opening lines'; kill -TERM $!; wait $!; echo "exit $?"; cat lines
  exit 143
  Opening file -
  ** Error in cmdReadCard_Click() VB error = Stopped by SIGTERM
  Read Card cancelled: 0 rows kept

A format whose write is never answered cannot tell what became of the card.

  $ insert_card "$farm" --stall-after 0
  $ ostrivan-card setting "Card Timeout" 1
  $ ostrivan-card format --reader "$reader" --yes
  Formatting Card
  Card Connect
  The card reader did not answer for 1 second
  Hint: unplug the reader and plug it in again; if it stays busy, restart the PC/SC service
  Finished!
  No answer to the write: the card may or may not be formatted: read it to see
  [3]

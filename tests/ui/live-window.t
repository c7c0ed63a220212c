The window answers while a card does not: its event loop runs through a card command that is
never answered, which fails as a card error once "Card Timeout" has passed; Escape cancels a read,
and SIGTERM or closing the window end a read that hangs, and the program with it. Alt+R is pressed
until the read is under way, once the last command has ended: a key pressed meanwhile is not kept.

  $ . "$TESTS/support/transcript.sh"; . "$SOURCE/scripts/window-session.sh"
  $ start_pcscd; trap 'stop_window_session; stop_services' EXIT
  $ farm="$TESTS/data/cards/farm.txt"
  $ box() { xdotool search --onlyvisible --name '^Ostrivan$' 2>/dev/null | head -n 1; }
  $ answer_box() { wait_for '[ -n "$(box)" ]' && wait_for '[ -z "$(box)" ] || { timeout 5 xdotool windowfocus --sync "$(box)" key Return; false; }'; }
  $ stuck_read() {
  >   rm -f "$DATA/data.csv"
  >   for _ in $(seq 50); do press_keys alt+r; sleep 0.2; grep -q "^no answer" card.log && return; done
  >   echo "the read did not start"
  > }
  $ close_window() {
  >   for _ in $(seq 10); do
  >     xwindow.py close "$WINDOW"
  >     for _ in $(seq 100); do kill -0 "$PROGRAM_PID" 2>/dev/null || return; sleep 0.05; done
  >   done
  >   echo "the window stayed open"
  > }
  $ ostrivan-card setting "Card Timeout" 2

A card that answers no command: the window answers the window manager throughout, and after the
card timeout shows the error.

  $ insert_card "$farm" --stall-after 0
  $ start_window_session ostrivan "$PWD"; stuck_read
  $ xwindow.py ping "$WINDOW" 10 && echo "answers while the card does not"
  answers while the card does not
  $ wait_for 'grep -q "did not answer" "$LOG"'; answer_box; logged | tail -n 2
  Reading card
  The card reader did not answer for 2 seconds
  $ cat "$DATA/data.csv"
  RecType,Time,Date,Tag Nr,Invoice Nr,Location Id,Location Name,Weight,Gate Nr,Device Id,Version,\r (esc)

Escape cancels a read that hangs after 50 commands: the rows of the blocks read are kept. (From
here on the card timeout is long: whatever happens happens before it.)

  $ ostrivan-card setting "Card Timeout" 60
  $ insert_card "$farm" --stall-after 50; stuck_read; press_keys Escape
  $ wait_for 'grep -q "cancelled" "$LOG"'; logged | tail -n 2; wc -l <"$DATA/data.csv"
  ** Error in cmdReadCard_Click() VB error = Cancelled
  Read Card cancelled: 627 rows kept
  628

SIGTERM during a command that is never answered ends the read as a failure, then the program.

  $ insert_card "$farm" --stall-after 0; stuck_read; kill -TERM "$PROGRAM_PID"; wait "$PROGRAM_PID"
  [143]
  $ logged | tail -n 2
  ** Error in cmdReadCard_Click() VB error = Stopped by SIGTERM
  Read Card cancelled: 0 rows kept

Closing the window does the same, asking nothing.

  $ stop_window_session; insert_card "$farm" --stall-after 0
  $ start_window_session ostrivan "$PWD"; stuck_read; close_window; wait "$PROGRAM_PID"
  $ logged | tail -n 2
  ** Error in cmdReadCard_Click() VB error = The window was closed
  Read Card cancelled: 0 rows kept

Each read lets its connection to the card service go when it ends: a window that kept them would
be refused by the service after a few hundred reads, and the card held by the first would fail the
next. Alt+R is pressed until the read has begun, so that a press while the last one ends is not
lost. Sockets are counted among descriptors that come and go while they are counted.

  $ stop_window_session; insert_card "$farm"; start_window_session ostrivan "$PWD"
  $ sockets() { find "/proc/$PROGRAM_PID/fd" -lname 'socket:*' 2>/dev/null | wc -l; }
  $ before=$(sockets) opened=$(grep -c "Opening file" "$LOG"); rm -rf "$DATA/archive"
  $ for n in 1 2 3; do
  >   rm -f "$DATA/data.csv"
  >   wait_for '[ "$(grep -c "Opening file" "$LOG")" -ge $((opened + n)) ] || { press_keys alt+r; sleep 0.3; false; }'
  >   wait_for '[ "$(ls "$DATA/archive" 2>/dev/null | wc -l)" -eq "$n" ] && [ "$(sockets)" -eq "$before" ]'
  > done

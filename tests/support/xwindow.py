#!/usr/bin/python3
"""What a window manager asks of a window, on the X display of $DISPLAY:

    xwindow.py ping WINDOW [SECONDS]   exit 0 when the program answers _NET_WM_PING in time (its
                                       event loop runs), 1 otherwise
    xwindow.py close WINDOW            asks the window to close (WM_DELETE_WINDOW), as a title
                                       bar's close button does
"""

import sys
import time

from Xlib import X, display
from Xlib.protocol import event


def send(screen, window, protocol, *data):
    message = event.ClientMessage(
        window=window, client_type=screen.intern_atom("WM_PROTOCOLS"),
        data=(32, ([screen.intern_atom(protocol), X.CurrentTime, *data] + [0] * 5)[:5]))
    window.send_event(message, event_mask=X.NoEventMask)
    screen.flush()


def ping(screen, window, seconds):
    root = screen.screen().root  # where the answer goes, to a structure-notify mask
    root.change_attributes(event_mask=X.StructureNotifyMask)
    send(screen, window, "_NET_WM_PING", window.id)
    ping_atom = screen.intern_atom("_NET_WM_PING")
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while screen.pending_events():
            answer = screen.next_event()
            if answer.type == X.ClientMessage and answer.data[1][0] == ping_atom:
                return True
        time.sleep(0.01)
    return False


def main():
    command, window_id = sys.argv[1], int(sys.argv[2])
    screen = display.Display()
    window = screen.create_resource_object("window", window_id)
    if command == "ping":
        return 0 if ping(screen, window, float(sys.argv[3]) if len(sys.argv) > 3 else 2) else 1
    send(screen, window, "WM_DELETE_WINDOW")
    return 0


if __name__ == "__main__":
    sys.exit(main())

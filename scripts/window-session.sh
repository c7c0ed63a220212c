# shellcheck shell=bash
# A real X display (Xvfb) with the program in it, for end-to-end checks and screenshots.
# Needs: xvfb, xauth, xdotool. Sets WINDOW to the program's window and PROGRAM_STARTED to the
# time it was started (ns); stop_window_session ends all.

start_window_session() {
    local program=$1 home=$2 poll=${3:-0.05}
    export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/Trelk/Ostrivan/cards" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    # The display takes a number of its own, free when it starts, and says which once it is
    # ready: sessions started side by side never meet. A busy machine may take a while to start
    # it; the program would end without it.
    rm -f "$home/display"
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$home/display" >"$home/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 400); do [ -s "$home/display" ] && break; sleep 0.05; done
    export DISPLAY=":$(cat "$home/display")"
    PROGRAM_STARTED=$(date +%s%N)
    "$program" >"$home/program.log" 2>&1 &
    PROGRAM_PID=$!
    WINDOW=""
    for _ in $(seq 1000); do
        WINDOW=$(xdotool search --name "Dumevrel Ostrivan" 2>/dev/null | head -n 1) && [ -n "$WINDOW" ] && break
        kill -0 "$PROGRAM_PID" 2>/dev/null || break # it ended: no window will come
        sleep "$poll"
    done
    [ -n "$WINDOW" ]
}

# A window that cannot take the focus (a box of its holds it) is no reason to wait for ever.
press_keys() {
    timeout 10 xdotool windowfocus --sync "$WINDOW"
    xdotool key --window "$WINDOW" "$@"
}

stop_window_session() {
    [ -n "${PROGRAM_PID:-}" ] && kill -TERM "$PROGRAM_PID" 2>/dev/null && wait "$PROGRAM_PID" 2>/dev/null || true
    [ -n "${XVFB_PID:-}" ] && kill -TERM "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null || true
}

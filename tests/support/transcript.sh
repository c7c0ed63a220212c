# shellcheck shell=bash
# What the transcripts share, sourced by each: folders of their own for the programs (the
# settings file, the data folder with its cards, log and archive), card files made from cards
# written as text, and the PC/SC daemon with the virtual reader and the virtual card. A program
# upstream of a pipe has its status seen: a pipe fails when any of its commands does.

set -o pipefail

export XDG_CONFIG_HOME=$PWD/config XDG_DATA_HOME=$PWD/data
SETTINGS=$XDG_CONFIG_HOME/Trelk/Ostrivan.reg
DATA=$XDG_DATA_HOME/Trelk/Ostrivan
CARDS=$DATA/cards
LOG=$DATA/log.txt
mkdir -p "$CARDS"

# card NAME [TEXT]: the card file NAME in the cards folder, from a card written as text (a file,
# or standard input).
card() {
    ostrivan_make_card "${2:-/dev/stdin}" "$CARDS/$1.card"
}

# The log's texts, without their time stamps and line ends.
logged() {
    cut -c29- "$LOG" | tr -d '\r'
}

# wait_for CONDITION: until the command succeeds, for at most 10 s; then it says so and fails.
wait_for() {
    for _ in $(seq 1000); do eval "$1" && return; sleep 0.01; done
    echo "timed out waiting for: $1"
    return 1
}

# skip REASON: the transcript cannot run here, which is said; under CI, where a skip would
# hide an untested fault, it fails instead.
skip() {
    [ "${CI:-}" = true ] && { echo "cannot run under CI: $1"; exit 1; }
    echo "$1" >"${SKIP_REASON:-/dev/null}"
    exit 80
}

needs_root() {
    [ "$(id -u)" -eq 0 ] || skip "needs root"
}

# What would touch the machine (the PC/SC daemon, a mount) runs only in the mount and network
# namespace that tests/support/isolated.sh gives the transcript.
needs_namespaces() {
    needs_root
    [ "${OSTRIVAN_ISOLATED:-}" = 1 ] ||
        skip "needs a mount and network namespace of its own, which this machine does not give"
}

# The PC/SC daemon in the foreground, with the virtual reader driver of its configuration, in
# the namespaces that tests/support/isolated.sh gives the transcript; it dies with the
# transcript, and is ready once its readers are listed.
start_pcscd() {
    needs_namespaces
    setpriv --pdeathsig TERM /usr/sbin/pcscd --foreground >>"$PWD/pcscd.log" 2>&1 &
    PCSCD=$!
    trap stop_services EXIT
    wait_for 'ostrivan-card readers 2>/dev/null | grep -q "^Virtual PCD 00 01$"'
}

stop_pcscd() {
    kill -TERM "$PCSCD" 2>/dev/null && wait "$PCSCD" 2>/dev/null
    return 0
}

# insert_card TEXT [OPTIONS]: a virtual card made from the card text, in "Virtual PCD 00 00",
# once the daemon has powered it up; its commands are noted in card.log. Options as vcard.py
# takes them.
insert_card() {
    ostrivan_make_card "$1" "$PWD/card.image"
    shift
    remove_card
    : >"$PWD/card.log"
    setpriv --pdeathsig TERM vcard.py --image "$PWD/card.image" "$@" >>"$PWD/card.log" 2>&1 &
    VCARD=$!
    wait_for 'grep -q "^answered to reset" card.log'
}

# change_card TEXT: another card in place of the one in the reader, from its next command on.
change_card() {
    ostrivan_make_card "$1" "$PWD/card.image"
}

remove_card() {
    [ -n "${VCARD:-}" ] && kill -TERM "$VCARD" 2>/dev/null && wait "$VCARD" 2>/dev/null
    VCARD=""
}

stop_services() {
    remove_card
    stop_pcscd
}

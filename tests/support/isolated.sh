#!/usr/bin/env bash
# isolated.sh COMMAND...: runs the command with a card service of its own, never the machine's.
# As root, where the machine gives them, in a mount and network namespace of its own: a private
# /run (where a PC/SC daemon the command starts puts its socket) and a loopback of its own (where
# the virtual reader driver takes its ports), so that tests run beside a system daemon and beside
# each other. Otherwise the PC/SC client is pointed at a socket where no service is, and what
# needs the namespaces skips. A command that skips (exit 80) writes why to $SKIP_REASON, which
# is printed as "skipped: REASON".
set -uo pipefail
SKIP_REASON=$(mktemp)
export SKIP_REASON
trap 'rm -f "$SKIP_REASON"' EXIT
if [ "$(id -u)" -eq 0 ] && unshare --mount --net true 2>/dev/null; then
    unshare --mount --net -- bash -c '
        set -e
        mount -t tmpfs -o mode=0755 tmpfs /run
        mkdir /run/pcscd
        ip link set lo up
        export OSTRIVAN_ISOLATED=1
        "$@"' isolated "$@"
else
    PCSCLITE_CSOCK_NAME="$(mktemp -u -d)/pcscd.comm" "$@"
fi
status=$?
[ -s "$SKIP_REASON" ] && echo "skipped: $(cat "$SKIP_REASON")"
exit $status

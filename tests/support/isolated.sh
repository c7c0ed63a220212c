#!/usr/bin/env bash
# isolated.sh COMMAND...: runs the command with a card service of its own, never the machine's.
# As root, in a mount and network namespace of its own: a private /run (where a PC/SC daemon the
# command starts puts its socket) and a loopback of its own (where the virtual reader driver
# takes its ports), so that tests run beside a system daemon and beside each other. Otherwise
# the PC/SC client is pointed at a socket where no service is: a normal user's tests start none.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    PCSCLITE_CSOCK_NAME="$(mktemp -u -d)/pcscd.comm" exec "$@"
fi
exec unshare --mount --net -- bash -c '
    set -e
    mount -t tmpfs -o mode=0755 tmpfs /run
    mkdir /run/pcscd
    ip link set lo up
    export OSTRIVAN_ISOLATED=1
    exec "$@"' isolated "$@"

#!/usr/bin/python3
"""An Extended I2C memory card for the virtual reader driver of pcscd: READ BINARY and UPDATE
BINARY on an image file (read again when replaced), every command noted on standard output. It
can leave mid-read and come back, stop a process as it leaves, stop answering commands (while it
still answers its reset), refuse long reads, and take a slow reader's time."""

import argparse
import os
import signal
import socket
import struct
import time

CARD_SIZE = 32768
# Its last byte is the check byte: all others but the first XORed.
ATR = bytes.fromhex("3B8F8001804F0CA0000003060EC0C10000000067")


def receive(connection, size):
    data = b""
    while len(data) < size:
        # The driver sends length and payload apart; without a quick ack each waits ~40 ms.
        connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_QUICKACK, 1)
        part = connection.recv(size - len(data))
        if not part:
            raise ConnectionError
        data += part
    return data


class Image:
    """The card's memory: the image file as it was when its name last changed hands."""

    def __init__(self, path):
        self.path, self.identity, self.bytes = path, None, bytearray()

    def current(self):
        status = os.stat(self.path)
        if (status.st_ino, status.st_dev) != self.identity:
            self.identity = (status.st_ino, status.st_dev)
            with open(self.path, "rb") as file:
                self.bytes = bytearray(file.read().ljust(CARD_SIZE, b"\xFF")[:CARD_SIZE])
        return self.bytes


def answer(apdu, image, options):
    if len(apdu) < 5 or apdu[0] != 0xFF:
        return b"\x6E\x00"
    address, length = apdu[2] << 8 | apdu[3], apdu[4] or 256
    if apdu[1] == 0xA4:
        return b"\x90\x00"
    if apdu[1] == 0xB0 and len(apdu) == 5 and address + length <= CARD_SIZE:
        if options.refuse_long_reads and length > 64:
            print(f"refused read {address} {length}", flush=True)
            return b"\x67\x00"
        print(f"read {address} {length}", flush=True)
        return image[address:address + length] + b"\x90\x00"
    if apdu[1] in (0xD6, 0xD0) and len(apdu) == 5 + apdu[4] and address + apdu[4] <= CARD_SIZE:
        print(f"write {address} {apdu[4]}", flush=True)
        image[address:address + apdu[4]] = apdu[5:]
        with open(options.image, "r+b") as file:  # in place: the same file, so no reload
            file.write(image)
        return b"\x90\x00"
    return b"\x6B\x00"


def serve(connection, image, options):
    """Serves the driver until it goes away (False) or the card is to leave (True)."""
    while True:
        payload = receive(connection, struct.unpack(">H", receive(connection, 2))[0])
        if len(payload) == 1:  # power off, on and reset have no answer; get ATR has
            if payload[0] == 0x04:
                connection.sendall(struct.pack(">H", len(ATR)) + ATR)
                print("answered to reset", flush=True)
            continue
        if options.drop_after == 0:
            options.drop_after = -1  # once
            print("left the reader", flush=True)
            return True
        options.drop_after -= options.drop_after > 0
        if options.stall_after == 0:
            print("no answer", flush=True)
            continue  # the reader waits for ever
        options.stall_after -= options.stall_after > 0
        reply = answer(payload, image.current(), options)
        time.sleep(options.command_ms / 1000)
        connection.sendall(struct.pack(">H", len(reply)) + reply)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--image", required=True)
    parser.add_argument("--port", type=int, default=35963)
    parser.add_argument("--drop-after", type=int, default=-1, help="leave after N commands")
    parser.add_argument("--rejoin-ms", type=int, default=-1, help="come back after MS")
    parser.add_argument("--kill-pid", type=int, default=0, help="stop PID when leaving")
    parser.add_argument("--stall-after", type=int, default=-1,
                        help="answer no command after N (0: none at all)")
    parser.add_argument("--refuse-long-reads", action="store_true")
    parser.add_argument("--command-ms", type=int, default=0, help="answer each command after MS")
    options = parser.parse_args()
    image = Image(options.image)
    while True:
        try:
            connection = socket.create_connection(("127.0.0.1", options.port))
        except OSError:
            time.sleep(0.05)
            continue
        connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        try:
            left = serve(connection, image, options)
        except ConnectionError:
            left = False
        if left and options.kill_pid:
            # The command stays unanswered while the service goes, taking the reader with it.
            os.kill(options.kill_pid, signal.SIGTERM)
            while connection.recv(256):
                pass
        connection.close()
        if left and options.rejoin_ms < 0:
            return
        if left:
            time.sleep(options.rejoin_ms / 1000)


if __name__ == "__main__":
    main()

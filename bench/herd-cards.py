#!/usr/bin/python3
"""Card images for the herd book's benchmark, written straight into a folder as archive images.

    herd-cards.py drafts FOLDER [COUNT]   COUNT full cards of Draft records only, each 1,213
                                          weighings of 20,000 animals, 300 new ones a card: a
                                          weighing is on about four cards
    herd-cards.py farm FOLDER IMAGE [COUNT]  COUNT copies of a card image, each with bytes of its
                                          own after the card's end (so each is an image of its own)
"""

import datetime
import sys

CARD_SIZE = 32768
ANIMALS = 20000
NEW_A_CARD = 300


def bcd(value):
    return (value // 10) << 4 | value % 10


def draft(j):
    animal, round_ = j % ANIMALS, j // ANIMALS
    tag = f"UK{10000000 + animal}".encode()
    when = datetime.datetime(2020, 1, 1, 6) + datetime.timedelta(days=round_, seconds=animal * 2)
    stamp = bytes(bcd(v) for v in (when.year % 100, when.month, when.day, when.hour, when.minute,
                                   when.second))
    weight = 300 + (animal * 7 + round_ * 3) % 500
    return (bytes([0x23, len(tag)]) + tag + bytes([0x03, 6]) + stamp
            + bytes([0x01, 2, weight >> 8, weight & 0xFF]) + bytes([0x01, 1, 1 + animal % 4]))


def drafts(folder, count):
    for card in range(count):
        image = bytearray(b"\x20\x01\x20")
        j = card * NEW_A_CARD
        while len(image) + len(draft(j)) < CARD_SIZE:
            image += draft(j)
            j += 1
        image += b"\xff\x00"
        write(folder, card, image.ljust(CARD_SIZE, b"\xff")[:CARD_SIZE])


def farm(folder, source, count):
    with open(source, "rb") as file:
        image = bytearray(file.read().ljust(CARD_SIZE, b"\xff")[:CARD_SIZE])
    for card in range(count):
        image[-2:] = card.to_bytes(2, "big")
        write(folder, card, image)


def write(folder, card, image):
    read = datetime.datetime(2020, 1, 1, 8) + datetime.timedelta(hours=card)
    with open(f"{folder}/{read:%Y-%m-%d_%H-%M-%S} crate.card", "wb") as file:
        file.write(image)


if __name__ == "__main__":
    if sys.argv[1] == "drafts":
        drafts(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 2000)
    else:
        farm(sys.argv[2], sys.argv[3], int(sys.argv[4]) if len(sys.argv) > 4 else 2000)

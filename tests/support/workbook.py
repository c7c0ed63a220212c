#!/usr/bin/python3
"""The first sheet of an exported workbook, read as a spreadsheet program reads it.

workbook.py FILE           prints every row, each cell as TYPE:VALUE (s text, n number)
workbook.py FILE CSV       compares the workbook with the CSV export of the same read: the
                           same rows, identifiers always text, plain weights and gate numbers
                           numbers, no formula; prints what differs
"""
import csv
import re
import sys

import openpyxl

IDENTIFIERS, NUMBERS = (3, 4, 5), (7, 8)
HOLES = b"\x81\x8d\x8f\x90\x9d"  # bytes the code page maps to the control of the same value


def from_code_page(data):
    return "".join(chr(b) if b in HOLES else bytes([b]).decode("cp1252") for b in data)


def unescape(text):
    return re.sub("_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text)


def rows(path):
    sheet = openpyxl.load_workbook(path).worksheets[0]
    return [[cell for cell in row] for row in sheet.iter_rows(max_col=11)]


def show(cell):
    return "" if cell.value is None else f"{cell.data_type}:{cell.value}"


def compare(book, export):
    with open(export, "rb") as file:
        lines = list(csv.reader(from_code_page(file.read()).splitlines(keepends=True),
                                lineterminator="\r\n"))
    sheet = rows(book)
    if len(sheet) != len(lines):
        print(f"{len(sheet)} rows, where the export has {len(lines)}")
    for number, (cells, line) in enumerate(zip(sheet, lines), 1):
        for column, (cell, text) in enumerate(zip(cells, line)):
            number_wanted = column in NUMBERS and re.fullmatch(r" *-?[0-9]+ *", text)
            value = "" if cell.value is None else cell.value
            good = (cell.data_type == "n" and value == int(text) if number_wanted else
                    unescape(str(value)) == text and cell.data_type in ("s", "n") and
                    (column not in IDENTIFIERS or cell.data_type == "s" or value == ""))
            if not good or cell.data_type == "f":
                print(f"row {number} column {column + 1}: {show(cell)} for {text!r}")


if __name__ == "__main__":
    if len(sys.argv) == 3:
        compare(sys.argv[1], sys.argv[2])
    else:
        for row in rows(sys.argv[1]):
            print(" | ".join(show(cell) for cell in row))

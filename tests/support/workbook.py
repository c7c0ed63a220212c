#!/usr/bin/python3
"""An exported workbook, read as spreadsheet programs read it.

workbook.py FILE [CSV]      the first sheet's rows (TYPE:VALUE; s text, n number, d date or time),
                            or what differs from the CSV export of the same read
workbook.py --calc CALC CSV what differs between the export and Calc's CSV of its workbook
workbook.py --layout FILE   sheets, frozen panes, filters, widths, header, number formats, charts
                            and series
workbook.py --sheet NAME FILE  the rows of the sheet
"""
import csv
import datetime
import re
import sys

import openpyxl

IDENTIFIERS, NUMBERS, TIME, DATE = (3, 4, 5), (7, 8), 1, 2
SHOWN = {TIME: ("%H:%M:%S", "hh:mm:ss"), DATE: ("%d/%m/%y", "dd/mm/yy")}  # the export's columns
FORMATS = {"hh:mm:ss": "%H:%M:%S", "dd/mm/yy": "%d/%m/%y"}
HOLES = b"\x81\x8d\x8f\x90\x9d"  # bytes the code page maps to the control of the same value


def from_code_page(data):
    return "".join(chr(b) if b in HOLES else bytes([b]).decode("cp1252") for b in data)


def export_lines(path):
    with open(path, "rb") as file:
        text = from_code_page(file.read())
    return list(csv.reader(text.splitlines(keepends=True), lineterminator="\r\n"))


def unescape(text):
    return re.sub("_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text)


def rows(path, sheet=0):
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[sheet] if isinstance(sheet, int) else book[sheet]
    return [list(row) for row in sheet.iter_rows()]


def shown(cell):
    """The cell's value as the CSV writes it, and whether the cell is of the right type."""
    if isinstance(cell.value, (datetime.datetime, datetime.time)):
        wanted = SHOWN.get(cell.column - 1, (None, None))[1]
        return cell.value.strftime(FORMATS.get(cell.number_format, "%c")), \
            cell.number_format == wanted
    return ("" if cell.value is None else unescape(str(cell.value))), cell.data_type in "sn"


def show(cell):
    if cell.value is None:
        return ""
    if cell.is_date:
        return f"d:{shown(cell)[0]}"
    return f"{cell.data_type}:{cell.value}"


def valid(column, text):
    try:
        return bool(datetime.datetime.strptime(text, SHOWN[column][0]))
    except ValueError:
        return False


def is_number(text):
    return re.fullmatch(r" *-?[0-9]+ *", text)


def compare(book, export):
    sheet, lines = rows(book), export_lines(export)
    if len(sheet) != len(lines):
        print(f"{len(sheet)} rows, where the export has {len(lines)}")
    for number, (cells, line) in enumerate(zip(sheet, lines), 1):
        for column, (cell, text) in enumerate(zip(cells, line)):
            value, typed = shown(cell)
            if column in NUMBERS and is_number(text):
                good = cell.data_type == "n" and cell.value == int(text)
            elif column in SHOWN and number > 1 and valid(column, text):
                good = cell.is_date and value == text and typed
            else:
                good = value == text and typed and not cell.is_date and (
                    column not in IDENTIFIERS or cell.data_type == "s" or value == "")
            if not good or cell.data_type == "f":
                print(f"row {number} column {column + 1}: {show(cell)} for {text!r}")


def compare_calc(converted, export):
    with open(converted, encoding="utf-8", newline="") as file:
        calc = list(csv.reader(file))
    lines = export_lines(export)
    if len(calc) != len(lines):
        print(f"{len(calc)} rows, where the export has {len(lines)}")
    for number, (cells, line) in enumerate(zip(calc, lines), 1):
        for column, text in enumerate(line[:11]):
            cell = cells[column] if column < len(cells) else ""
            same = (int(cell) == int(text) if is_number(text) and is_number(cell) else
                    cell == text.replace("\r\n", "\n"))
            if not same:
                print(f"row {number} column {column + 1}: {cell!r} for {text!r}")


def layout(path):
    book = openpyxl.load_workbook(path)
    print("sheets:", ", ".join(book.sheetnames))
    for sheet in book.worksheets:
        widths = {key: round(dimension.width) for key, dimension in sheet.column_dimensions.items()}
        bold = all(cell.font.b for cell in sheet[1] if cell.value is not None)
        print(f"{sheet.title}: frozen {sheet.freeze_panes}, filter {sheet.auto_filter.ref}, "
              f"header {'bold' if bold else 'plain'}, "
              f"widths {' '.join(f'{key}={width}' for key, width in sorted(widths.items()))}")
        formats = [f"{cell.column_letter}={cell.number_format}" for cell in sheet[2]
                   if sheet.max_row > 1 and cell.number_format != "General"]
        if formats:
            print(f"{sheet.title}: formats {' '.join(formats)}")
        for chart in sheet._charts:
            whole = chart.y_axis.numFmt and chart.y_axis.numFmt.formatCode == "0"
            print(f"{sheet.title}: {chart.tagname} chart \"{chart.title.tx.rich.p[0].r[0].t}\", axes "
                  f"{chart.x_axis.title.tx.rich.p[0].r[0].t} / "
                  f"{chart.y_axis.title.tx.rich.p[0].r[0].t}"
                  f"{', counted in whole numbers' if whole else ''}")
            for series in chart.series:
                categories, values = series.cat or series.xVal, series.val or series.yVal
                print(f"  series {(categories.numRef or categories.strRef).f} {values.numRef.f}")


if __name__ == "__main__":
    if sys.argv[1] == "--calc":
        compare_calc(sys.argv[2], sys.argv[3])
    elif sys.argv[1] == "--layout":
        layout(sys.argv[2])
    elif sys.argv[1] == "--sheet":
        for row in rows(sys.argv[3], sys.argv[2]):
            print(" | ".join(str(cell.value) for cell in row if cell.value is not None))
    elif len(sys.argv) == 3:
        compare(sys.argv[1], sys.argv[2])
    else:
        for row in rows(sys.argv[1]):
            print(" | ".join(show(cell) for cell in row))

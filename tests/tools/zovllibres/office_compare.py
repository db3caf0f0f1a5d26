#!/usr/bin/python3
"""Sets each sheet of a book, as LibreOffice exported it to CSV (BOOK-SHEET.csv
in OUT), against the cells openpyxl reads: texts equal, numbers equal to the
cent, dates the same day. Prints one line per difference and exits 1 if any.

  office_compare.py BOOK.xlsx OUT
"""
import csv
import datetime
import os
import sys

import openpyxl


def shown(value):
    """What the cell should look like in the export, in comparable form."""
    if isinstance(value, datetime.datetime):
        return ('date', value.date())
    if isinstance(value, (int, float)):
        return ('number', round(float(value), 2))
    return ('text', str(value))


def read_back(kind, text):
    if kind == 'date':
        return ('date', datetime.datetime.strptime(text, '%d/%m/%Y').date())
    if kind == 'number':
        return ('number', round(float(text.replace(',', '')), 2))
    return ('text', text)


def main(book_path, out_dir):
    book = openpyxl.load_workbook(book_path)
    stem = os.path.splitext(os.path.basename(book_path))[0]
    problems = []
    cells = 0
    for sheet in book.worksheets:
        path = os.path.join(out_dir, '%s-%s.csv' % (stem, sheet.title))
        if not os.path.exists(path):
            problems.append('sheet %s: not exported' % sheet.title)
            continue
        with open(path, newline='', encoding='utf-8') as f:
            rows = list(csv.reader(f, delimiter=';'))
        if len(rows) != sheet.max_row:
            problems.append('sheet %s: %d rows exported, %d in the book' % (sheet.title, len(rows), sheet.max_row))
        for row in sheet.iter_rows():
            for cell in row:
                r, c = cell.row - 1, cell.column - 1
                text = rows[r][c] if r < len(rows) and c < len(rows[r]) else ''
                if cell.value is None:
                    if text != '':
                        problems.append('%s!%s: empty in the book, %r exported' % (sheet.title, cell.coordinate, text))
                    continue
                cells += 1
                want = shown(cell.value)
                try:
                    got = read_back(want[0], text)
                except ValueError:
                    got = ('unreadable', text)
                if got != want:
                    problems.append('%s!%s: %r in the book, %r exported' % (sheet.title, cell.coordinate, want, text))
    for p in problems:
        print(p)
    print('office_compare: %d cells, %d differences' % (cells, len(problems)))
    return 1 if problems or cells == 0 else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1], sys.argv[2]))

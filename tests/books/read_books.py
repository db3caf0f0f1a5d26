#!/usr/bin/python3
"""Reads XLSX books with openpyxl and prints what a reader sees, one line
per item, fields separated by tabs (backslash, tab and line feed in values
escaped as \\\\, \\t and \\n):

  book    FILE-NAME
  sheet   TITLE  MAX-ROW  MAX-COLUMN  MERGED-RANGES (comma-separated, sorted)
  cell    COORDINATE  DATA-TYPE  NUMBER-FORMAT  VALUE

Values: texts as they are, numbers as Python prints them, dates as
YYYY-MM-DD HH:MM:SS. Empty cells are not listed.
"""
import datetime
import os
import sys

import openpyxl


def escape(text):
    return str(text).replace('\\', '\\\\').replace('\t', '\\t').replace('\n', '\\n')


def main(paths):
    for path in paths:
        book = openpyxl.load_workbook(path)
        print('book\t' + escape(os.path.basename(path)))
        for sheet in book.worksheets:
            merged = ','.join(sorted(str(r) for r in sheet.merged_cells.ranges))
            print('sheet\t%s\t%d\t%d\t%s' % (escape(sheet.title), sheet.max_row, sheet.max_column, merged))
            for row in sheet.iter_rows():
                for cell in row:
                    if cell.value is None:
                        continue
                    value = cell.value
                    if isinstance(value, datetime.datetime):
                        value = value.strftime('%Y-%m-%d %H:%M:%S')
                    print('cell\t%s\t%s\t%s\t%s' % (cell.coordinate, cell.data_type, escape(cell.number_format),
                                                    escape(value)))


if __name__ == '__main__':
    main(sys.argv[1:])

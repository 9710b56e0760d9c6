"""Writes a table with python3-dbf, then prints what python3-dbf reads back
from it, one JSON object per record: the live records in file order, then the
deleted ones, each with "_deleted". Values take dbftool's forms (see
dbfread_dump.py).

usage: pydbf_write.py TABLE KIND   (KIND: db3, fp or vfp)
"""
import datetime
import decimal
import sys

import dbf

from pydbf_dump import print_records


def long_memo():
    return ''.join('line %d of a memo that spans several blocks\r\n' % i for i in range(60))


def layout(kind):
    fields = 'NAME C(24); QTY N(6,0); PRICE N(9,2); OK L; DAY D; NOTE M'
    if kind == 'vfp':
        fields += '; COUNT I; RATE B; WHEN T; COST Y'
    return fields


def rows(kind):
    # dBASE III tables carry no code page of their own; their text stays ASCII.
    first = 'Hello world' if kind == 'db3' else 'Grüße — 25 €'
    rows = [
        (first, 42, -3.25, True, datetime.date(2024, 3, 5), long_memo()),
        ('spaced', -7, 0.5, False, datetime.date(1999, 12, 31), 'short memo'),
        ('deleted one', 1, 1.0, True, datetime.date(2000, 1, 1), 'gone'),
        ('', None, None, False, None, ''),
    ]
    if kind == 'vfp':
        extras = [
            (-7, 2.25, datetime.datetime(2023, 12, 31, 23, 59, 58, 125000), decimal.Decimal('19.99')),
            (2147483646, -1e10, datetime.datetime(2000, 2, 29, 12, 0, 0), decimal.Decimal('-0.5')),
            (0, 0.0, datetime.datetime(2000, 1, 1), decimal.Decimal('1')),
            (None, None, None, None),
        ]
        rows = [row + extra for row, extra in zip(rows, extras)]
    return rows


def new_table(path, specs, kind, codepage):
    """A new python3-dbf table of the given kind (db3, fp, vfp): the kind is the
    eighth parameter of dbf.Table, after memo size, memo handling and the two
    data-type maps, which keep their defaults."""
    return dbf.Table(path, specs, 128, False, codepage, None, None, kind)


def main(path, kind):
    codepage = 'ascii' if kind == 'db3' else 'cp1252'
    table = new_table(path, layout(kind), kind, codepage)
    table.open(dbf.READ_WRITE)
    for row in rows(kind):
        table.append(row)
    dbf.delete(table[2])
    table.close()

    table.open(dbf.READ_ONLY)
    print_records(table)
    table.close()


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])

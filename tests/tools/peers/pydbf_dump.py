"""Prints what python3-dbf reads from a table, one JSON object per record: the
live records in file order, then the deleted ones, each with "_deleted".
Values take dbftool's forms (see dbfread_dump.py).

usage: pydbf_dump.py TABLE [ENCODING]   (the encoding is taken from the table)
"""
import json
import sys

import dbf

from dbfread_dump import shape


def print_records(table):
    """Prints the records of an open table."""
    names = table.field_names
    for deleted in (False, True):
        for record in table:
            if dbf.is_deleted(record) != deleted:
                continue
            shaped = {'_deleted': deleted}
            shaped.update((name.upper(), shape(record[name])) for name in names)
            print(json.dumps(shaped, ensure_ascii=False))


def main(path):
    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    print_records(table)
    table.close()


if __name__ == '__main__':
    main(sys.argv[1])

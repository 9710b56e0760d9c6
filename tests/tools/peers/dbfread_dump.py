"""Prints what python3-dbfread reads from a table, one JSON object per record:
the live records in file order, then the deleted ones, each with "_deleted".
Values take dbftool's forms: empty text and missing values are null, dates
and timestamps ISO text, bytes hexadecimal.

usage: dbfread_dump.py TABLE ENCODING
"""
import datetime
import decimal
import json
import sys

from dbfread import DBF


def shape(value):
    if isinstance(value, str):
        value = value.rstrip(' ')
        return value if value else None
    if isinstance(value, bytes):
        return value.hex() if value else None
    if isinstance(value, datetime.datetime):
        return value.strftime('%Y-%m-%dT%H:%M:%S.') + '%03d' % (value.microsecond // 1000)
    if isinstance(value, datetime.date):
        return value.isoformat()
    if isinstance(value, decimal.Decimal):
        return float(value)
    return value


def main(path, encoding):
    table = DBF(path, encoding=encoding, char_decode_errors='strict')
    for deleted, records in ((False, table.records), (True, table.deleted)):
        for record in records:
            shaped = {'_deleted': deleted}
            shaped.update((name, shape(value)) for name, value in record.items())
            print(json.dumps(shaped, ensure_ascii=False))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])

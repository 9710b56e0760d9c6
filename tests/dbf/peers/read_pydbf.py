#!/usr/bin/python3
# Prints every record of a table as read by python3-dbf: one line per record,
# the values of the first COLUMNS fields (all without it) tab-separated, text
# without its trailing blanks, CR and LF escaped. Usage: read_pydbf.py TABLE [COLUMNS]
import sys
import dbf

def text(value):
    value = "" if value is None else str(value).rstrip(" ")
    return value.replace("\r", "\\r").replace("\n", "\\n")

# dBASE III tables name no code page; the tests write theirs in cp1252.
table = dbf.Table(sys.argv[1], codepage="cp1252")
table.open(mode=dbf.READ_ONLY)
columns = int(sys.argv[2]) if len(sys.argv) > 2 else None
for record in table:
    if dbf.is_deleted(record):
        continue
    print("\t".join(text(v) for v in list(record)[:columns]))
table.close()

#!/usr/bin/python3
# Prints every record of a table as read by python3-dbfread: one line per
# record, the values of the first COLUMNS fields (all without it)
# tab-separated, CR and LF escaped. Usage: read_dbfread.py TABLE [COLUMNS]
import sys
import dbfread

def text(value):
    return ("" if value is None else str(value)).replace("\r", "\\r").replace("\n", "\\n")

columns = int(sys.argv[2]) if len(sys.argv) > 2 else None
for record in dbfread.DBF(sys.argv[1], encoding="cp1252"):
    print("\t".join(text(v) for v in list(record.values())[:columns]))

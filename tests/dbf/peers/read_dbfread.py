#!/usr/bin/python3
# Prints every record of a table as read by python3-dbfread: one line per
# record, the values tab-separated, CR and LF escaped. Usage: read_dbfread.py TABLE
import sys
import dbfread

def text(value):
    return ("" if value is None else str(value)).replace("\r", "\\r").replace("\n", "\\n")

for record in dbfread.DBF(sys.argv[1], encoding="cp1252"):
    print("\t".join(text(v) for v in record.values()))

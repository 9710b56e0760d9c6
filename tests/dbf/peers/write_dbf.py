#!/usr/bin/python3
# Writes a table with python3-dbf: a text field NAME C(20) and a memo NOTE, one
# record per pair of arguments. Usage: write_dbf.py TABLE db3|fp|vfp NAME NOTE [NAME NOTE ...]
import sys
import dbf

path, kind = sys.argv[1], sys.argv[2]
table = dbf.Table(path, "NAME C(20); NOTE M", dbf_type=kind, codepage="cp1252")
table.open(mode=dbf.READ_WRITE)
values = sys.argv[3:]
for i in range(0, len(values), 2):
    table.append((values[i], values[i + 1]))
table.close()

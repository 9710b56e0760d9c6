#!/usr/bin/python3
# Writes a table with python3-dbf: a text field NAME C(20) and a memo NOTE, one
# record per pair of arguments. Usage: write_dbf.py TABLE db3|fp|vfp NAME NOTE [NAME NOTE ...]
import sys
import dbf


def new_table(path, specs, kind, codepage):
    """A new python3-dbf table of the given kind (db3, fp, vfp): the kind is the
    eighth parameter of dbf.Table, after memo size, memo handling and the two
    data-type maps, which keep their defaults."""
    return dbf.Table(path, specs, 128, False, codepage, None, None, kind)


path, kind = sys.argv[1], sys.argv[2]
table = new_table(path, "NAME C(20); NOTE M", kind, "cp1252")
table.open(mode=dbf.READ_WRITE)
values = sys.argv[3:]
for i in range(0, len(values), 2):
    table.append((values[i], values[i + 1]))
table.close()
